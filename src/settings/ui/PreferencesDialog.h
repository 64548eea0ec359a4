#pragma once
// The Preferences dialog: a page list with Prev/Next, the delete-after action and the
// MPEG check as drop-down lists lying over read-only text boxes, Reset, Cancel and OK.
// It edits copies of the two options and applies them to the live options on OK only.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kt {

class OptionState;

class PreferencesDialog : public QDialog
{
    Q_OBJECT
public:
    // `options` receives the choices on OK. No owner window: the dialog stands alone.
    explicit PreferencesDialog(OptionState& options, QWidget* parent = nullptr);

    // Page indices of PrefCmb; 1 and 3 are separators.
    enum Page { GeneralPage = 0, DeletePage = 2, MpegPage = 4 };

    void NextCmd_Click();
    void PrevCmd_Click();
    void Reset_Cmd_Click();
    void SavePref_cmd_Click();
    void cancel_cmd_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void PrefCmb_Click(int index); // the page-change step
    void selectPage(int index);

    OptionState& m_options;
    QComboBox* m_pages;
    QComboBox* m_delactCmb;
    QComboBox* m_mccCmb;
    QLineEdit* m_delactTxt;
    QLineEdit* m_mccTxt;
    QPushButton* m_prev;
    QPushButton* m_next;
    bool m_movingBack = false;
};

} // namespace kt
