// The numbered rename dialog: its controls at fixed places (the two layouts
// move the start-number controls), help mode on every control with a topic,
// and Accept handing over to renameNumbered().
#include "rename/renameall.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include "platform/text/FileNameText.h"
#include "rename/core/BatchPreview.h"
#include "rename/core/NumberEntry.h"
#include "rename/core/RememberedNumbering.h"
#include "rename/core/RenameCommands.h"
#include "ui/WindowPlaces.h"
#include "ui/core/HelpTopics.h"

namespace brindle::rename {

namespace {

/// The design's positions are in twips; 15 twips make one pixel.
constexpr int pixels(int twips) {
  return twips / 15;
}

// Label1 and Combo1 sit higher in the Common layout than in the Unique one.
constexpr int kLabel1TopCommon = pixels(360);
constexpr int kCombo1TopCommon = pixels(600);
constexpr int kLabel1TopUnique = pixels(1680);
constexpr int kCombo1TopUnique = pixels(1920);
constexpr int kRightColumn = 184;

template <class Widget>
Widget* place(Widget* widget, const char* name, int x, int y, int width, int height) {
  widget->setObjectName(name);
  widget->setGeometry(x, y, width, height);
  return widget;
}

}  // namespace

renameall::renameall(platform::Platform& platform, ui::ContextHelp& help, ui::FileListHost& files,
                     QWidget* parent, history::History* history)
    : QWidget(parent, Qt::Window | Qt::Dialog),
      m_platform(platform),
      m_help(help),
      m_files(files),
      m_history(history),
      m_helpMode(ui::helpPointerOf(*this)) {
  setObjectName("renameall");
  setWindowTitle("Rename Files");
  // Abort unloads the dialog: the next showing starts from the defaults.
  setAttribute(Qt::WA_DeleteOnClose);
  buildControls();
  fillStartNumbers();
  m_option1->setChecked(true);
  m_option3->setChecked(true);
  showLayout(true);
  if (const std::optional<NumberingChoices> last = rememberedNumbering(m_platform.settings)) {
    showChoices(*last);
  }
  ui::restorePlace(*this, m_platform.settings);
  m_help.addWindow(m_helpMode);
}

renameall::~renameall() {
  m_help.removeWindow(m_helpMode);
}

void renameall::buildControls() {
  setFixedSize(360, 368);

  m_frame1 = place(new QGroupBox("Name Options", this), "Frame1", 8, 8, 160, 72);
  m_option1 = place(new QRadioButton("Common", m_frame1), "Option1", 12, 22, 140, 20);
  m_option1->setToolTip("All named the same with numbers added!");
  m_option2 = place(new QRadioButton("Unique (as is )", m_frame1), "Option2", 12, 44, 140, 20);
  m_option2->setToolTip("Names stay the same as original with numbering added!");

  m_frame2 = place(new QGroupBox("Number Positions", this), "Frame2", kRightColumn, 8, 168, 52);
  m_option3 = place(new QRadioButton("Left", m_frame2), "Option3", 12, 22, 70, 20);
  m_option3->setToolTip("Numbers will be added to the left of filename!");
  m_option4 = place(new QRadioButton("Right", m_frame2), "Option4", 88, 22, 70, 20);
  m_option4->setToolTip("Numbers will be added to the right of filename!");

  m_frame3 = place(new QGroupBox("Dividing Character", this), "Frame3", kRightColumn, 64, 168, 44);
  m_text2 = place(new QLineEdit(m_frame3), "Text2", 12, 16, 144, 22);
  m_text2->setToolTip("Character to add between filename and numbers!");

  m_label2 = place(new QLabel("Common Filename", this), "label2", 8, 88, 160, 16);
  m_text1 = place(new QLineEdit("file", this), "Text1", 8, 106, 160, 24);
  m_label3 = place(new QLabel("Result", this), "Label3", 8, 136, 160, 16);
  m_result = place(new QLineEdit("file 01.ext", this), "result", 8, 154, 160, 24);
  m_result->setReadOnly(true);

  m_label1 = place(new QLabel("Start numbering at?", this), "Label1", kRightColumn,
                   kLabel1TopCommon, 168, 16);
  m_combo1 = place(new QComboBox(this), "Combo1", kRightColumn, kCombo1TopCommon, 100, 24);
  m_combo1->setEditable(true);
  m_combo1->setInsertPolicy(QComboBox::NoInsert);

  m_accept = place(new QPushButton("Accept", this), "Accept", 8, 192, 80, 28);
  m_abort = place(new QPushButton("Abort", this), "Abort", 96, 192, 80, 28);
  m_helper = place(new QPushButton("(?)", this), "helper", 312, 192, 40, 28);
  // Below the controls: what Accept would make of every selected file.
  m_previewList = place(new QPlainTextEdit(this), "PreviewList", 8, 228, 344, 132);
  m_previewList->setReadOnly(true);
  m_previewList->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_previewList->setToolTip("The new name of every selected file");

  connect(m_option1, &QRadioButton::clicked, this, &renameall::onOption1Click);
  connect(m_option2, &QRadioButton::clicked, this, &renameall::onOption2Click);
  connect(m_option3, &QRadioButton::clicked, this, [this] { onTopicOnly(topics::kNumberedLeft); });
  connect(m_option4, &QRadioButton::clicked, this, [this] { onTopicOnly(topics::kNumberedRight); });
  connect(m_text2, &QLineEdit::textChanged, this,
          [this] { onTopicOnly(topics::kNumberedDivider); });
  connect(m_text1, &QLineEdit::textChanged, this,
          [this] { onPreviewSourceChanged(topics::kNumberedCommonName); });
  connect(m_accept, &QPushButton::clicked, this, &renameall::onAccept);
  // Enter accepts, as in a dialog (Accept is the default); Escape is Abort.
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
    auto* accept = new QShortcut(key, this);
    connect(accept, &QShortcut::activated, m_accept, &QPushButton::click);
  }
  auto* abort = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(abort, &QShortcut::activated, m_abort, &QPushButton::click);
  connect(m_abort, &QPushButton::clicked, this, &renameall::onAbort);
  connect(m_helper, &QPushButton::clicked, this, [this] { m_helpMode.toggle(); });
  for (QLineEdit* text : {m_text1, m_text2}) {
    connect(text, &QLineEdit::textChanged, this, &renameall::updatePreviewList);
  }
  for (QRadioButton* option : {m_option1, m_option2, m_option3, m_option4}) {
    connect(option, &QRadioButton::toggled, this, &renameall::updatePreviewList);
  }

  // Clicks (and, for some controls, the focus) show the topic in help mode.
  for (QObject* watched : std::initializer_list<QObject*>{
           m_option1, m_option2, m_option3, m_option4, m_text1, m_text2, m_result, m_combo1,
           m_combo1->lineEdit(), m_accept, m_abort, m_previewList->viewport()}) {
    watched->installEventFilter(this);
  }
}

void renameall::fillStartNumbers() {
  QStringList numbers;
  numbers.reserve(1000);
  for (int i = 0; i <= 999; ++i) numbers << QString::fromStdString(numberText(i));
  m_combo1->addItems(numbers);
  m_combo1->setCurrentIndex(1);
  // Connected after filling, so that loading does not count as a change.
  connect(m_combo1, &QComboBox::editTextChanged, this,
          [this] { onPreviewSourceChanged(topics::kNumberedStartNumber); });
  connect(m_combo1, &QComboBox::activated, this,
          [this] { onPreviewSourceChanged(topics::kNumberedStartNumber); });
  connect(m_combo1, &QComboBox::editTextChanged, this, &renameall::updatePreviewList);
}

bool renameall::showsCommonLayout() const {
  return !m_text1->isHidden();
}

NumberingOptions renameall::options() const {
  NumberingOptions options;
  if (m_option1->isChecked()) {
    options.layout = NumberingOptions::Layout::Common;
  } else {
    options.layout = m_option3->isChecked() ? NumberingOptions::Layout::UniqueLeft
                                            : NumberingOptions::Layout::UniqueRight;
  }
  options.commonName = platform::textToFileName(m_text1->text());
  options.divider = platform::textToFileName(m_text2->text());
  return options;
}

void renameall::showChoices(const NumberingChoices& choices) {
  const bool common = choices.options.layout == NumberingOptions::Layout::Common;
  (common ? m_option1 : m_option2)->setChecked(true);
  (choices.options.layout == NumberingOptions::Layout::UniqueRight ? m_option4 : m_option3)
      ->setChecked(true);
  m_text1->setText(platform::fileNameToText(choices.options.commonName));
  m_text2->setText(platform::fileNameToText(choices.options.divider));
  m_combo1->setEditText(QString::fromStdString(choices.startText));
  showLayout(common);
}

void renameall::showEvent(QShowEvent* event) {
  // The selection may have changed while the dialog was hidden.
  updatePreviewList();
  QWidget::showEvent(event);
}

void renameall::updatePreviewList() {
  if (!m_previewList) return;
  const std::int64_t start = leadingNumber(m_combo1->currentText().toUtf8().toStdString());
  if (start < 0 || start > kHighestNumber) {
    m_previewList->setPlainText(QString());
    return;
  }
  const BatchPlan plan =
      planBatch(m_files, m_platform.fileSystem, numberingRule(options(), static_cast<int>(start)));
  m_previewList->setPlainText(QString::fromStdString(previewText(plan)));
}

void renameall::showLayout(bool common) {
  for (QWidget* widget : std::initializer_list<QWidget*>{m_text1, m_label2, m_label3, m_result}) {
    widget->setVisible(common);
  }
  m_frame2->setVisible(!common);
  m_frame3->setVisible(!common);
  m_label1->move(kRightColumn, common ? kLabel1TopCommon : kLabel1TopUnique);
  m_combo1->move(kRightColumn, common ? kCombo1TopCommon : kCombo1TopUnique);
}

void renameall::onOption1Click() {
  if (m_help.handledAsHelp(m_helpMode, topics::kNumberedCommon)) return;
  showLayout(true);
}

void renameall::onOption2Click() {
  if (m_help.handledAsHelp(m_helpMode, topics::kNumberedUnique)) return;
  showLayout(false);
}

void renameall::onTopicOnly(int topic) {
  (void)m_help.handledAsHelp(m_helpMode, topic);
}

void renameall::onPreviewSourceChanged(int topic) {
  if (m_help.handledAsHelp(m_helpMode, topic)) return;
  // The preview always shows the Common rule, with the start text as typed.
  m_result->setText(m_text1->text() + " " + m_combo1->currentText() + ".ext");
}

void renameall::onAccept() {
  if (m_help.handledAsHelp(m_helpMode, topics::kNumberedAccept)) return;
  const std::string startText = m_combo1->currentText().toUtf8().toStdString();
  const NumberedResult result = renameNumbered(
      {m_platform.dialogs, m_platform.fileSystem, m_history}, m_files, options(), startText);
  if (result.outcome != NumberedResult::Outcome::Done) return;
  // The choices that renamed are the next dialog's start, also in the next run.
  rememberNumbering(m_platform.settings, {options(), startText});
  ui::rememberPlace(*this, m_platform.settings);
  // Hidden, not closed: the texts and choices stay for the next showing.
  hide();
  reportNumbered(m_platform.dialogs, result);
}

void renameall::onAbort() {
  if (m_help.handledAsHelp(m_helpMode, topics::kNumberedAbort)) return;
  ui::rememberPlace(*this, m_platform.settings);
  close();
}

int renameall::controlTopic(QObject* watched, QEvent::Type type) const {
  if (type == QEvent::FocusIn) {
    if (watched == m_result) return topics::kNumberedPreview;
    if (watched == m_combo1 || watched == m_combo1->lineEdit()) return topics::kNumberedStartNumber;
    if (watched == m_option3) return topics::kNumberedLeft;
    return topics::kNoTopic;
  }
  if (type != QEvent::MouseButtonPress) return topics::kNoTopic;
  if (watched == m_option1) return topics::kNumberedCommon;
  if (watched == m_option2) return topics::kNumberedUnique;
  if (watched == m_option3) return topics::kNumberedLeft;
  if (watched == m_option4) return topics::kNumberedRight;
  if (watched == m_text1) return topics::kNumberedCommonName;
  if (watched == m_text2) return topics::kNumberedDivider;
  if (watched == m_result) return topics::kNumberedPreview;
  if (watched == m_combo1 || watched == m_combo1->lineEdit()) return topics::kNumberedStartNumber;
  if (watched == m_accept) return topics::kNumberedAccept;
  // The list of new names shows what the one-line preview shows.
  if (watched == m_previewList->viewport()) return topics::kNumberedPreview;
  if (watched == m_abort) return topics::kNumberedAbort;
  return topics::kNoTopic;
}

bool renameall::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (m_helpClicks.swallows(type)) return true;
  const int topic = controlTopic(watched, type);
  if (topic != topics::kNoTopic && m_help.handledAsHelp(m_helpMode, topic)) {
    if (type == QEvent::MouseButtonPress) {
      m_helpClicks.topicShownByPress();
      return true;
    }
    // The focus came first; the click that brought it only showed the topic.
    m_helpClicks.topicShownByFocus(static_cast<QFocusEvent*>(event)->reason() ==
                                   Qt::MouseFocusReason);
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace brindle::rename
