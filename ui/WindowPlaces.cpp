#include "ui/WindowPlaces.h"

#include <QByteArray>
#include <QSplitter>
#include <QWidget>

namespace brindle::ui {

namespace {

std::string keyOf(const QWidget& window) {
  return "windows/" + window.objectName().toStdString() + "/geometry";
}

std::string panesKeyOf(const QSplitter& splitter) {
  return "panes/" + splitter.objectName().toStdString() + "/state";
}

}  // namespace

void restorePlace(QWidget& window, platform::Settings& settings) {
  const std::optional<std::string> stored = settings.value(keyOf(window));
  if (!stored) return;
  // The toolkit's own record, which also brings a place off every screen
  // back onto one.
  (void)window.restoreGeometry(QByteArray::fromStdString(*stored));
}

void rememberPlace(const QWidget& window, platform::Settings& settings) {
  settings.setValue(keyOf(window), window.saveGeometry().toStdString());
}

void restorePanes(QSplitter& splitter, platform::Settings& settings) {
  const std::optional<std::string> stored = settings.value(panesKeyOf(splitter));
  if (stored) (void)splitter.restoreState(QByteArray::fromStdString(*stored));
}

void rememberPanes(const QSplitter& splitter, platform::Settings& settings) {
  settings.setValue(panesKeyOf(splitter), splitter.saveState().toStdString());
}

}  // namespace brindle::ui
