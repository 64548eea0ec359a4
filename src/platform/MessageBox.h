#pragma once
// The program-wide message-box routine.
//
// Logic never shows a widget: it calls MsgBox() with the text, a style number built
// from the flags below (the classic message-box style word) and a title. Whoever runs
// the program installs the presenter that really asks: the window a QMessageBox, the
// command line a terminal prompt, a test a script. The answer is the return value, which
// the caller acts on at once; no last answer is kept for anyone to read later.
#include <QString>

namespace kt {

enum MsgStyle : int {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10, // stop icon
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
    MB_TOPMOST = 0x40000,
};

enum MsgAnswer : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDRETRY = 4,
    IDYES = 6,
    IDNO = 7,
};

// Parts of a style word.
int msgButtons(int style); // MB_OK, MB_OKCANCEL, MB_YESNO or MB_RETRYCANCEL
int msgIcon(int style);    // 0 or one of the MB_ICON* values
bool msgDefaultIsSecond(int style);
bool msgTopmost(int style);
// The answer that takes no risk for a set of buttons: No, Cancel, or OK.
int msgSafeAnswer(int style);

class MessageBoxPresenter
{
public:
    virtual ~MessageBoxPresenter() = default;
    // Shows the message and returns the button pressed (one of MsgAnswer).
    virtual int present(const QString& text, int style, const QString& title) = 0;
};

// Installs the presenter used by MsgBox (not owned; nullptr restores the fallback,
// which writes the message to stderr and answers msgSafeAnswer()).
void installMessageBoxPresenter(MessageBoxPresenter* presenter);

// Shows a message. An empty title means the program's title.
int MsgBox(const QString& text, int style = MB_OK, const QString& title = QString());

} // namespace kt
