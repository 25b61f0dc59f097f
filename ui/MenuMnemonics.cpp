#include "ui/MenuMnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "ui/core/Mnemonics.h"

namespace brindle::ui {

namespace {

void markActions(const QList<QAction*>& actions) {
  QStringList captions;
  for (QAction* action : actions)
    captions.append(action->isSeparator() ? QString() : action->text());
  const QStringList marked = withMnemonics(captions);
  for (qsizetype i = 0; i < actions.size(); ++i) {
    QAction* action = actions[i];
    if (action->isSeparator()) continue;
    action->setText(marked[i]);
    if (QMenu* submenu = action->menu()) markActions(submenu->actions());
  }
}

}  // namespace

void addMnemonics(QWidget& menus) {
  if (qobject_cast<QMenuBar*>(&menus) || qobject_cast<QMenu*>(&menus)) markActions(menus.actions());
}

}  // namespace brindle::ui
