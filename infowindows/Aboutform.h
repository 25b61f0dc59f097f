// The About window: program name, version and credits. A click on its frame
// closes it.
#pragma once

#include <QWidget>

namespace brindle::infowindows {

class ClickableFrame;

/// The About window: shows the program's name, version and credits.
///
/// A modeless top-level window captioned "About".
/// Children (found by object name): `Frame1`, the frame holding the texts;
/// `Label1` the program name "Brindle", `Label2` the version, `Label3` to
/// `Label5` the credits. A left click on `Frame1` closes the window.
///
/// Ownership: the window never deletes itself; closing it only hides it. The
/// owner decides its lifetime: construct it with a parent (it stays a window
/// of its own and the parent deletes it), and set Qt::WA_DeleteOnClose as well
/// when every close should delete it.
class Aboutform : public QWidget {
  Q_OBJECT

 public:
  /// Builds the window with its texts; it is not shown yet.
  explicit Aboutform(QWidget* parent = nullptr);

  /// The frame whose click closes the window.
  QWidget* frame1() const;

 private:
  ClickableFrame* m_frame1 = nullptr;
};

}  // namespace brindle::infowindows
