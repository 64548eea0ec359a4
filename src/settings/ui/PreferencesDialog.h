#pragma once
// The Preferences dialog: a page list with Prev/Next, the delete-after action, the MPEG
// check and Seamless Join as drop-down lists lying over read-only text boxes, Reset, Cancel
// and OK. It edits copies of the three options and applies them to the live options on OK only.
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class QFrame;

namespace kt {

class OptionState;

class PreferencesDialog : public QDialog
{
    Q_OBJECT
public:
    // `options` receives the choices on OK. No owner window: the dialog stands alone.
    explicit PreferencesDialog(OptionState& options, QWidget* parent = nullptr);

    // Page indices of PrefCmb; the odd ones are separators.
    enum Page { GeneralPage = 0, DeletePage = 2, MpegPage = 4, SeamlessPage = 6 };

    void NextCmd_Click();
    void PrevCmd_Click();
    void Reset_Cmd_Click();
    void SavePref_cmd_Click();
    void cancel_cmd_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One option: its caption, the read-only text box and the list lying over it.
    struct Option
    {
        Page page;
        QLineEdit* text;
        QComboBox* list;
    };

    QFrame* buildOptions();
    void load();
    void PrefCmb_Click(int index); // the page-change step
    void selectPage(int index);
    void choose(const Option& option, int entry);

    OptionState& m_options;
    QComboBox* m_pages;
    Option m_delact{};
    Option m_mcc{};
    Option m_seamless{};
    QLabel* m_seamlessHelp;
    QPushButton* m_prev;
    QPushButton* m_next;
    bool m_movingBack = false;
};

} // namespace kt
