#include "MessageBox.h"

#include "Program.h"

#include <cstdio>

namespace kt {
namespace {
MessageBoxPresenter* g_presenter = nullptr;
} // namespace

int msgButtons(int style)
{
    return style & 0xF;
}
int msgIcon(int style)
{
    return style & 0xF0;
}
bool msgDefaultIsSecond(int style)
{
    return (style & 0xF00) == MB_DEFBUTTON2;
}
bool msgTopmost(int style)
{
    return (style & MB_TOPMOST) != 0;
}

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

void installMessageBoxPresenter(MessageBoxPresenter* presenter)
{
    g_presenter = presenter;
}

int MsgBox(const QString& text, int style, const QString& title)
{
    const QString shownTitle = title.isEmpty() ? programTitle() : title;
    if (g_presenter)
        return g_presenter->present(text, style, shownTitle);
    std::fprintf(stderr, "%s: %s\n", qPrintable(shownTitle), qPrintable(text));
    return msgSafeAnswer(style);
}

} // namespace kt
