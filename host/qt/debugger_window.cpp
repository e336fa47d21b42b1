#include "host/qt/debugger_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "host/qt/debugger_panels.h"
#include "host/qt/disassembly_view.h"
#include "host/qt/main_window.h"
#include "host/qt/memory_view.h"

namespace rq4800 {

namespace {

QString Hex(int value, int digits) { return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

DebuggerWindow::DebuggerWindow(MainWindow& main)
    : QWidget(&main, Qt::Window), driver(*main.emulator), main_(main) {
  setWindowTitle(tr("调试器"));
  setObjectName(QStringLiteral("debugger"));
  LoadBuiltinLabels(driver.debugger().symbols, main.emulator->resources);
  const auto run = [this](const QString& line) { return Command(line); };

  status = new QLabel(this);
  status->setObjectName(QStringLiteral("stopReason"));
  status->setTextInteractionFlags(Qt::TextSelectableByMouse);
  registers = new RegisterPanel(driver, this);
  registers->command = run;
  code = new DisassemblyView(driver, this);
  code->command = run;
  memory = new MemoryView(*main.machine, this);
  memory->command = run;

  auto* left = new QWidget(this);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->addWidget(registers);
  leftLayout->addWidget(BuildLists(), 1);
  auto* right = new QSplitter(Qt::Vertical, this);
  right->addWidget(code);
  right->addWidget(memory);
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->addWidget(left);
  split->addWidget(right);
  split->setStretchFactor(1, 1);
  split->setSizes({440, 640});

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildButtons());
  layout->addWidget(split, 1);
  layout->addWidget(status);
  resize(1080, 760);
}

DebuggerWindow::~DebuggerWindow() { Detach(driver); }

QWidget* DebuggerWindow::BuildButtons() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  struct Button {
    QPushButton** slot;
    QString text;
    const char* keys;
    std::function<void()> action;
  };
  const Button buttons[] = {
      {&runButton, tr("运行"), "F6", [this] { RunOn(); }},
      {&stopButton, tr("停止"), "Shift+F6", [this] { Stop(); }},
      {&stepButton, tr("单步"), "F7", [this] { Step(DebugStep::kInto); }},
      {&overButton, tr("步过"), "F10", [this] { Step(DebugStep::kOver); }},
      {&outButton, tr("步出"), "Shift+F7", [this] { Step(DebugStep::kOut); }},
  };
  for (const Button& b : buttons) {
    auto* button = new QPushButton(b.text, bar);
    const QKeySequence keys(QString::fromLatin1(b.keys));
    button->setToolTip(b.text + QStringLiteral("  (") + keys.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    connect(button, &QPushButton::clicked, this, b.action);
    // Window-wide: the boxes of this window would otherwise keep the keys.
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled()) button->click();
    });
    row->addWidget(button);
    *b.slot = button;
  }
  stopOnIrq = new QCheckBox(tr("IRQ时停止"), bar);
  stopOnNmi = new QCheckBox(tr("NMI时停止"), bar);
  connect(stopOnIrq, &QCheckBox::toggled, this, [this](bool on) { Command(on ? "irq on" : "irq off"); });
  connect(stopOnNmi, &QCheckBox::toggled, this, [this](bool on) { Command(on ? "nmi on" : "nmi off"); });
  row->addStretch();
  row->addWidget(stopOnIrq);
  row->addWidget(stopOnNmi);
  return bar;
}

QWidget* DebuggerWindow::BuildLists() {
  auto* box = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);

  breakList = new QListWidget(box);
  breakList->setObjectName(QStringLiteral("breakpoints"));
  breakAddress = new QLineEdit(box);
  breakAddress->setPlaceholderText(tr("地址或标号 [页]"));
  auto* addBreak = new QPushButton(tr("添加"), box);
  auto* removeBreak = new QPushButton(tr("删除"), box);
  const auto setBreak = [this] {
    if (Command(QStringLiteral("break ") + breakAddress->text().trimmed())) breakAddress->clear();
  };
  connect(addBreak, &QPushButton::clicked, this, setBreak);
  connect(breakAddress, &QLineEdit::returnPressed, this, setBreak);
  connect(removeBreak, &QPushButton::clicked, this, [this] {
    const int row = breakList->currentRow();
    const auto& list = driver.debugger().breakpoints;
    if (row >= 0 && row < static_cast<int>(list.size())) Command(QStringLiteral("delete ") + Hex(list[static_cast<size_t>(row)].address, 4));
  });

  watchList = new QListWidget(box);
  watchList->setObjectName(QStringLiteral("watchpoints"));
  watchRange = new QLineEdit(box);
  watchRange->setPlaceholderText(tr("地址[-地址]"));
  watchAccess = new QComboBox(box);
  watchAccess->addItems({QStringLiteral("rw"), QStringLiteral("w"), QStringLiteral("r")});
  auto* addWatch = new QPushButton(tr("添加"), box);
  auto* removeWatch = new QPushButton(tr("删除"), box);
  const auto setWatch = [this] {
    if (Command(QStringLiteral("watch ") + watchRange->text().trimmed() + QLatin1Char(' ') + watchAccess->currentText())) {
      watchRange->clear();
    }
  };
  connect(addWatch, &QPushButton::clicked, this, setWatch);
  connect(watchRange, &QLineEdit::returnPressed, this, setWatch);
  connect(removeWatch, &QPushButton::clicked, this, [this] {
    const int row = watchList->currentRow();
    const auto& list = driver.debugger().watchpoints;
    if (row >= 0 && row < static_cast<int>(list.size())) Command(QStringLiteral("unwatch ") + Hex(list[static_cast<size_t>(row)].start, 4));
  });

  grid->addWidget(new QLabel(tr("断点"), box), 0, 0, 1, 3);
  grid->addWidget(breakList, 1, 0, 1, 3);
  grid->addWidget(breakAddress, 2, 0);
  grid->addWidget(addBreak, 2, 1);
  grid->addWidget(removeBreak, 2, 2);
  grid->addWidget(new QLabel(tr("观察点"), box), 0, 3, 1, 4);
  grid->addWidget(watchList, 1, 3, 1, 4);
  grid->addWidget(watchRange, 2, 3);
  grid->addWidget(watchAccess, 2, 4);
  grid->addWidget(addWatch, 2, 5);
  grid->addWidget(removeWatch, 2, 6);
  // The address boxes take the width the buttons leave.
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(3, 1);
  for (QLineEdit* box : {breakAddress, watchRange}) {
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(box->placeholderText()) + 16);
  }
  return box;
}

void DebuggerWindow::Open() {
  if (!Attached(driver)) Attach(driver);
  show();
  raise();
  activateWindow();
  Refresh();
  ShowRunState();
}

void DebuggerWindow::closeEvent(QCloseEvent* event) {
  Detach(driver);
  main_.DebuggerDetached();
  QWidget::closeEvent(event);
}

void DebuggerWindow::ShowStop() {
  Refresh();
  code->FollowPc();
  ShowRunState();
  show();
  raise();
  activateWindow();
}

void DebuggerWindow::RunOn() {
  if (!driver.stopped) return;
  rq4800::RunOn(driver);
  ShowRunState();
  main_.DebuggerRunsOn();
}

void DebuggerWindow::Stop() {
  if (driver.stopped || !Attached(driver)) return;
  StopNow(driver);
  main_.Paint();
  ShowStop();
}

void DebuggerWindow::Step(DebugStep kind) {
  if (!driver.stopped) return;
  rq4800::Step(driver, kind);
  main_.Paint();
  ShowStop();
}

bool DebuggerWindow::Command(const QString& line) {
  const std::string answer = ExecuteDebugCommand(driver.session, line.toStdString());
  const bool ok = answer.rfind("error: ", 0) != 0;
  Refresh();
  // A changed byte may be on the LCD.
  main_.Paint();
  status->setText(ok ? QString() : QString::fromStdString(answer).trimmed());
  if (ok) ShowRunState();
  return ok;
}

void DebuggerWindow::Refresh() {
  registers->Redraw();
  code->Redraw();
  memory->Redraw();
  const Debugger& d = driver.debugger();
  breakList->clear();
  for (const Breakpoint& b : d.breakpoints) {
    const std::string label = LabelFor(d.symbols, b.address);
    breakList->addItem(Hex(b.address, 4) + (b.bank >= 0 ? tr(" 页%1").arg(Hex(b.bank, 2)) : QString()) +
                       (label.empty() ? QString() : QStringLiteral("  ") + QString::fromStdString(label)));
  }
  watchList->clear();
  static const char* const kAccess[] = {"", "r", "w", "rw"};
  for (const Watchpoint& w : d.watchpoints) {
    watchList->addItem(Hex(w.start, 4) + QLatin1Char('-') + Hex(w.end, 4) + QLatin1Char(' ') + QString::fromLatin1(kAccess[w.access & 3]));
  }
  stopOnIrq->blockSignals(true);
  stopOnIrq->setChecked(d.stopOnIrq);
  stopOnIrq->blockSignals(false);
  stopOnNmi->blockSignals(true);
  stopOnNmi->setChecked(d.stopOnNmi);
  stopOnNmi->blockSignals(false);
}

void DebuggerWindow::ShowRunState() {
  const bool stopped = driver.stopped;
  runButton->setEnabled(stopped);
  stopButton->setEnabled(!stopped);
  for (QPushButton* b : {stepButton, overButton, outButton}) b->setEnabled(stopped);
  // Registers and memory are the machine's only while it stands still.
  registers->setEnabled(stopped);
  memory->table->setEnabled(stopped);
  if (!stopped) {
    status->setText(tr("运行中"));
  } else if (driver.userStop) {
    status->setText(tr("已停止于 %1").arg(Hex(driver.stop.address, 4)));
  } else {
    status->setText(QString::fromStdString(StopText(driver)));
  }
}

}  // namespace rq4800
