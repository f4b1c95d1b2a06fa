#include "window/WindowMenu.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace WindowMenu {
namespace {

void add(QMenuBar *menu, QWidget *window, const QString &caption, const Entry &entry)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(entry.objectName);
    if (!entry.toolTip.isEmpty())
        action->setToolTip(entry.toolTip);
    QObject::connect(action, &QAction::triggered, window, [run = entry.triggered] { run(); });
}

} // namespace

QMenuBar *exports(QWidget *window, const Entry &excel, const Entry &adif)
{
    auto *menu = new QMenuBar(window);
    add(menu, window, QStringLiteral("EXPORT TO EXCEL"), excel);
    add(menu, window, QStringLiteral("EXPORT ADIF"), adif);
    return menu;
}

QHBoxLayout *titleWithPrint(QLabel *title, const QString &printToolTip, std::function<void()> print)
{
    title->setObjectName(QStringLiteral("LblTitolo"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setWordWrap(true);
    auto *button = new QPushButton(QStringLiteral("PRT"));
    button->setObjectName(QStringLiteral("CmdPrt"));
    button->setToolTip(printToolTip);
    QObject::connect(button, &QPushButton::clicked, button, [print = std::move(print)] { print(); });
    auto *row = new QHBoxLayout;
    row->addWidget(title, 1);
    row->addWidget(button);
    return row;
}

} // namespace WindowMenu
