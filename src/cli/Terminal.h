#pragma once
// The terminal as klivatarn-pack uses it: messages and questions on stderr, answers from
// flags or from a terminal on stdin, one progress line that messages clear first, and
// Ctrl-C as the join's Cancel.
#include "platform/MessageBox.h"

#include <QString>

namespace kt::cli {

enum class AnswerPolicy {
    Ask, // ask on a terminal; without one take the safe answer
    Yes, // --yes: Yes to every Yes/No question
    No,  // --no: No to every question
};

// Shows MsgBox texts on stderr. Yes/No questions follow the policy; Retry/Cancel is asked
// only on a terminal and is otherwise Cancel, so a lasting fault cannot loop. A question
// that gets no answer (no terminal, end of input) or comes after Ctrl-C takes the safe
// answer. After a question without an answer the join's "Packing aborted by user" is not
// shown: nobody chose to abort.
class TerminalPrompt final : public MessageBoxPresenter
{
public:
    explicit TerminalPrompt(AnswerPolicy policy);
    ~TerminalPrompt() override;
    int present(const QString& text, int style, const QString& title) override;
    // The first line of the first question that got no answer; empty when none.
    QString unanswered() const { return m_unanswered; }

private:
    void noAnswerTo(const QString& question);
    AnswerPolicy m_policy;
    QString m_unanswered;
};

// Writes "klivatarn-pack: " and the text to stderr, first clearing a progress line that
// is showing.
void printLine(const QString& text);
// The progress line (only drawn when stderr is a terminal).
void drawProgressLine(const QString& text);
void endProgressLine();

// Ctrl-C during the join: the first press sets the Cancel flag; without the handler the
// default applies (the process ends before anything was written).
void installCancelHandler();
void removeCancelHandler();
bool cancelPressed();

} // namespace kt::cli
