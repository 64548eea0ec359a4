#include "ListButtonHints.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace kt {
namespace {

class HintFilter final : public QObject
{
public:
    HintFilter(QObject* parent, std::function<void(const QString&)> setStatusText)
        : QObject(parent), m_setStatusText(std::move(setStatusText))
    {
    }
    void watch(QWidget* button, const QString& text)
    {
        button->setMouseTracking(true);
        button->installEventFilter(this);
        m_texts.insert(button, text);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) && m_setStatusText)
            m_setStatusText(m_texts.value(watched));
        return false;
    }

private:
    std::function<void(const QString&)> m_setStatusText;
    QHash<QObject*, QString> m_texts;
};

} // namespace

QList<ListButtonHint> listButtonHints()
{
    return {
        {"packlst_SortAsc_cmd",
         QCoreApplication::translate("kt::ListButtonHints", "Sort file(s) in ascending order."),
         QCoreApplication::translate("kt::ListButtonHints", "Sort file(s) in ascending order")},
        {"packlst_SortDes_cmd",
         QCoreApplication::translate("kt::ListButtonHints", "Sort file(s) in descending order."),
         QCoreApplication::translate("kt::ListButtonHints", "Sort file(s) in descending order")},
        {"packlst_SelectAll_cmd",
         QCoreApplication::translate("kt::ListButtonHints", "Select all file(s) in Pack List"),
         QCoreApplication::translate("kt::ListButtonHints", "Select all file(s) in Pack List")},
        {"packlst_DeselectAll_cmd",
         QCoreApplication::translate("kt::ListButtonHints", "Deselect all file(s) in Pack List"),
         QCoreApplication::translate("kt::ListButtonHints", "Deselect all file(s) in Pack List")},
        {"packlst_InvSel_cmd",
         QCoreApplication::translate("kt::ListButtonHints", "Inverse select all file(s) in Pack List"),
         QCoreApplication::translate("kt::ListButtonHints", "Inverse select all file(s) in Pack List")},
    };
}

void installListButtonHints(QWidget* parent, std::function<void(const QString&)> setStatusText)
{
    auto* filter = new HintFilter(parent, std::move(setStatusText));
    for (const ListButtonHint& hint : listButtonHints()) {
        if (auto* button = parent->findChild<QWidget*>(QLatin1String(hint.objectName))) {
            button->setToolTip(hint.toolTip);
            filter->watch(button, hint.statusText);
        }
    }
}

} // namespace kt
