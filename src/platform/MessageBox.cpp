#include "MessageBox.h"

#include <cstdio>

#include "Program.h"

namespace kt {
namespace {
MessageBoxPresenter* g_presenter = nullptr;
int g_lastAnswer = 0;
} // namespace

int msgButtons(int style) { return style & 0xF; }
int msgIcon(int style) { return style & 0xF0; }
bool msgDefaultIsSecond(int style) { return (style & 0xF00) == MB_DEFBUTTON2; }
bool msgTopmost(int style) { return (style & MB_TOPMOST) != 0; }

int msgSafeAnswer(int style)
{
    switch (msgButtons(style)) {
    case MB_YESNO:
        return IDNO;
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

void installMessageBoxPresenter(MessageBoxPresenter* presenter) { g_presenter = presenter; }
MessageBoxPresenter* messageBoxPresenter() { return g_presenter; }

int MsgBox(const QString& text, int style, const QString& title)
{
    const QString shownTitle = title.isEmpty() ? programTitle() : title;
    int answer;
    if (g_presenter) {
        answer = g_presenter->present(text, style, shownTitle);
    } else {
        std::fprintf(stderr, "%s: %s\n", qPrintable(shownTitle), qPrintable(text));
        answer = msgSafeAnswer(style);
    }
    g_lastAnswer = answer;
    return answer;
}

int lastMsgBoxAnswer() { return g_lastAnswer; }

} // namespace kt
