#include "host/qt/key_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <iterator>
#include <vector>

#include "host/qt/key_map.h"
#include "host/skin_layout.h"

namespace rq4800 {

namespace {

constexpr int kRows = static_cast<int>(std::size(skinKeyLabels));
enum Column { kDeviceKey, kKeyCode, kPcKeys, kColumns };
QColor ConflictColour() { return QColor(255, 190, 190); }

bool IsModifierOnly(int qtKey) {
  return qtKey == Qt::Key_Control || qtKey == Qt::Key_Alt || qtKey == Qt::Key_Meta || qtKey == Qt::Key_AltGr;
}

QString PcKeysText(const std::bitset<kHostKeyCount>& keys) {
  QStringList names;
  for (int k = 1; k < kHostKeyCount; ++k) {
    if (keys.test(static_cast<size_t>(k))) {
      const std::string_view name = HostKeyName(static_cast<HostKey>(k));
      names << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
  }
  return names.join(QStringLiteral(", "));
}

}  // namespace

KeyDialog::KeyDialog(const KeyMap& map, QWidget* parent) : QDialog(parent), assignments(AssignmentsOf(map)) {
  setWindowTitle(tr("按键设置"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  table = new QTableWidget(kRows, kColumns, this);
  table->setHorizontalHeaderLabels({tr("设备键"), tr("键码"), tr("PC键")});
  table->verticalHeader()->hide();
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int row = 0; row < kRows; ++row) {
    const SkinKeyLabel& label = skinKeyLabels[row];
    QString name = QString::fromLatin1(label.label);
    if (*label.alt != '\0') name += QStringLiteral(" / ") + QString::fromLatin1(label.alt);
    table->setItem(row, kDeviceKey, new QTableWidgetItem(name));
    table->setItem(row, kKeyCode, new QTableWidgetItem(QString::number(label.keyCode)));
    table->setItem(row, kPcKeys, new QTableWidgetItem);
  }
  table->horizontalHeader()->setStretchLastSection(true);
  table->resizeColumnsToContents();
  table->setMinimumSize(360, 420);
  table->selectRow(0);
  connect(table, &QTableWidget::cellDoubleClicked, this, [this] { StartCapture(false); });
  layout->addWidget(table);

  message = new QLabel(this);
  message->setWordWrap(true);
  layout->addWidget(message);

  auto* edits = new QHBoxLayout;
  changeButton_ = new QPushButton(tr("更改..."), this);
  addButton_ = new QPushButton(tr("添加..."), this);
  auto* clear = new QPushButton(tr("清除"), this);
  auto* defaults = new QPushButton(tr("恢复默认"), this);
  for (QPushButton* b : {changeButton_, addButton_, clear, defaults}) {
    b->setAutoDefault(false);
    edits->addWidget(b);
  }
  connect(changeButton_, &QPushButton::clicked, this, [this] { Capturing() ? StopCapture() : StartCapture(false); });
  connect(addButton_, &QPushButton::clicked, this, [this] { Capturing() ? StopCapture() : StartCapture(true); });
  connect(clear, &QPushButton::clicked, this, &KeyDialog::ClearSelected);
  connect(defaults, &QPushButton::clicked, this, &KeyDialog::RestoreDefaults);
  layout->addLayout(edits);

  auto* buttons = new QDialogButtonBox(this);
  okButton = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
  okButton->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &KeyDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &KeyDialog::reject);
  layout->addWidget(buttons);
  Refresh();
}

KeyMap KeyDialog::Result() const {
  KeyMap map = DefaultKeyMap();
  MakeKeyMap(assignments, &map);
  return map;
}

int KeyDialog::KeyCodeOfRow(int row) { return row >= 0 && row < kRows ? skinKeyLabels[row].keyCode : -1; }

int KeyDialog::RowOfKeyCode(int keyCode) {
  for (int row = 0; row < kRows; ++row) {
    if (skinKeyLabels[row].keyCode == keyCode) return row;
  }
  return -1;
}

void KeyDialog::StartCapture(bool add) {
  const int row = table->currentRow();
  if (row < 0) return;
  captureRow_ = row;
  captureAdds_ = add;
  changeButton_->setText(tr("停止"));
  addButton_->setEnabled(false);
  message->setText(tr("请按下设备键 %1 的新PC键。").arg(table->item(row, kDeviceKey)->text()));
  // Every key, also Enter, Esc and the arrows, must come here rather than
  // choose a button or move through the table.
  grabKeyboard();
}

void KeyDialog::StopCapture() {
  if (!Capturing()) return;
  releaseKeyboard();
  captureRow_ = -1;
  changeButton_->setText(tr("更改..."));
  addButton_->setEnabled(true);
  Refresh();
}

bool KeyDialog::TakeKey(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (!Capturing()) return false;
  const HostKey key = (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
                          ? HostKey::kNone
                          : HostKeyFromQt(qtKey, modifiers);
  if (key == HostKey::kNone) {
    const QString name = QKeySequence(QKeyCombination(modifiers & ~Qt::KeypadModifier, Qt::Key(qtKey)))
                             .toString(QKeySequence::NativeText);
    message->setText(tr("%1 由窗口使用或无法映射，不能选用。请按另一个键。").arg(name));
    return false;
  }
  auto& keys = assignments.pcKeys[static_cast<size_t>(KeyCodeOfRow(captureRow_))];
  if (!captureAdds_) keys.reset();
  keys.set(static_cast<size_t>(key));
  StopCapture();
  return true;
}

void KeyDialog::ClearSelected() {
  StopCapture();
  const int row = table->currentRow();
  if (row < 0) return;
  assignments.pcKeys[static_cast<size_t>(KeyCodeOfRow(row))].reset();
  Refresh();
}

void KeyDialog::RestoreDefaults() {
  StopCapture();
  assignments = AssignmentsOf(DefaultKeyMap());
  Refresh();
}

QList<int> KeyDialog::ConflictRows() const {
  QList<int> rows;
  for (int row = 0; row < kRows; ++row) {
    if (table->item(row, kPcKeys)->background().color() == ConflictColour()) rows << row;
  }
  return rows;
}

void KeyDialog::Refresh() {
  const std::vector<HostKey> conflicts = KeyConflicts(assignments);
  std::bitset<kHostKeyCount> conflicting;
  QStringList names;
  for (HostKey k : conflicts) {
    conflicting.set(static_cast<size_t>(k));
    const std::string_view name = HostKeyName(k);
    names << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  }
  for (int row = 0; row < kRows; ++row) {
    const auto& keys = assignments.pcKeys[static_cast<size_t>(KeyCodeOfRow(row))];
    const bool conflict = (keys & conflicting).any();
    for (int column = 0; column < kColumns; ++column) {
      table->item(row, column)->setBackground(conflict ? QBrush(ConflictColour()) : QBrush());
    }
    table->item(row, kPcKeys)->setText(PcKeysText(keys));
  }
  okButton->setEnabled(conflicts.empty());
  if (!Capturing()) {
    message->setText(conflicts.empty() ? QString()
                                       : tr("冲突：%1 同时按下多个设备键。请更改或清除标出的行。")
                                             .arg(names.join(QStringLiteral(", "))));
  }
}

void KeyDialog::accept() {
  StopCapture();
  if (!KeyConflicts(assignments).empty()) return;  // the marked rows say why
  QDialog::accept();
}

void KeyDialog::reject() {
  StopCapture();
  QDialog::reject();
}

void KeyDialog::keyPressEvent(QKeyEvent* event) {
  if (!Capturing()) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (event->isAutoRepeat() || IsModifierOnly(event->key())) return;
  TakeKey(event->key(), event->modifiers());
}

}  // namespace rq4800
