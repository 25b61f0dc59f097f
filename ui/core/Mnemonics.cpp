#include "ui/core/Mnemonics.h"

#include <QSet>

namespace brindle::ui {

namespace {

/// The position of the letter to mark in `caption`, or -1.
qsizetype chooseLetter(const QString& caption, const QSet<QChar>& taken) {
  auto freeLetter = [&](qsizetype at) {
    const QChar letter = caption.at(at);
    return letter.isLetterOrNumber() && !taken.contains(letter.toLower());
  };
  for (qsizetype at = 0; at < caption.size(); ++at) {
    const bool wordStart = at == 0 || !caption.at(at - 1).isLetterOrNumber();
    if (wordStart && freeLetter(at)) return at;
  }
  for (qsizetype at = 0; at < caption.size(); ++at) {
    if (freeLetter(at)) return at;
  }
  return -1;
}

}  // namespace

QStringList withMnemonics(const QStringList& captions) {
  QSet<QChar> taken;
  // Captions that bring their own key keep it, and nobody else takes it.
  for (const QString& caption : captions) {
    const qsizetype mark = caption.indexOf(u'&');
    if (mark >= 0 && mark + 1 < caption.size()) taken.insert(caption.at(mark + 1).toLower());
  }
  QStringList result;
  for (const QString& caption : captions) {
    const qsizetype at = caption.contains(u'&') ? -1 : chooseLetter(caption, taken);
    if (at < 0) {
      result.append(caption);
      continue;
    }
    taken.insert(caption.at(at).toLower());
    QString marked = caption;
    marked.insert(at, u'&');
    result.append(marked);
  }
  return result;
}

QString withoutMnemonic(QString caption) {
  return caption.remove(u'&');
}

}  // namespace brindle::ui
