#include "host/qt/disassembly_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "debugger/code_lines.h"
#include "debugger/debug_driver.h"

namespace rq4800 {

namespace {

const QString kBreakMark = QStringLiteral("●");

QTableWidgetItem* Cell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

DisassemblyView::DisassemblyView(DebugDriver& driver, QWidget* parent) : QWidget(parent), driver_(driver) {
  table = new QTableWidget(0, 3, this);
  table->setObjectName(QStringLiteral("code"));
  table->setHorizontalHeaderLabels({QString(), tr("标号"), tr("指令")});
  table->verticalHeader()->hide();
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // One line an instruction, as dense as a listing: no wrapping, rows as
  // high as the text.
  table->setWordWrap(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
  table->horizontalHeader()->setStretchLastSection(true);
  table->setColumnWidth(kMarginColumn, 24);
  table->setColumnWidth(1, table->fontMetrics().horizontalAdvance(QStringLiteral("ScanKeysWait+12")));
  table->setToolTip(tr("点击左边栏设置或清除断点"));
  connect(table, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (column == kMarginColumn) ToggleBreakpoint(row);
  });

  address = new QLineEdit(this);
  address->setObjectName(QStringLiteral("codeAddress"));
  address->setPlaceholderText(tr("地址或标号"));
  auto* go = new QPushButton(tr("反汇编"), this);
  connect(go, &QPushButton::clicked, this, &DisassemblyView::ListFromBox);
  connect(address, &QLineEdit::returnPressed, this, &DisassemblyView::ListFromBox);

  auto* bar = new QHBoxLayout;
  bar->addWidget(address);
  bar->addWidget(go);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(table);
}

int DisassemblyView::AddressOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(addresses_.size()) ? addresses_[static_cast<size_t>(row)] : -1;
}

int DisassemblyView::RowOf(int address) const {
  const auto found = std::find(addresses_.begin(), addresses_.end(), address);
  return found == addresses_.end() ? -1 : static_cast<int>(found - addresses_.begin());
}

void DisassemblyView::FollowPc() {
  const int pc = static_cast<int>(driver_.emulator.machine->cpu.PC);
  // Only whole lines count: PC inside an instruction of the listing means
  // the listing's alignment is wrong there.
  ListFrom(RowOf(pc) >= 0 ? addresses_.front() : pc);
}

void DisassemblyView::Redraw() {
  if (addresses_.empty()) {
    FollowPc();
  } else {
    ListFrom(addresses_.front());
  }
}

void DisassemblyView::ListFromBox() {
  const QString text = address->text().trimmed();
  if (text.isEmpty()) return;
  if (const auto symbol = FindSymbol(driver_.debugger().symbols, text.toStdString())) {
    ListFrom(*symbol);
    return;
  }
  bool ok = false;
  QString digits = text;
  if (digits.startsWith(QLatin1Char('$'))) digits.remove(0, 1);
  const uint value = digits.toUInt(&ok, 16);
  if (ok && value <= 0xFFFF) ListFrom(static_cast<int>(value));
  else if (command) command(QStringLiteral("disasm ") + text);  // refused with the reason shown
}

void DisassemblyView::ListFrom(int start) {
  const Debugger& d = driver_.debugger();
  const std::vector<CodeLine> lines = CodeLines(*driver_.emulator.machine, d.symbols, start, kLines);
  const int pc = static_cast<int>(driver_.emulator.machine->cpu.PC);
  addresses_.clear();
  table->setRowCount(static_cast<int>(lines.size()));
  int pcRow = -1;
  for (size_t i = 0; i < lines.size(); ++i) {
    const CodeLine& line = lines[i];
    const int row = static_cast<int>(i);
    addresses_.push_back(line.address);
    const bool marked = std::any_of(d.breakpoints.begin(), d.breakpoints.end(),
                                    [&](const Breakpoint& b) { return b.address == line.address; });
    table->setItem(row, kMarginColumn, Cell(marked ? kBreakMark : QString()));
    table->setItem(row, 1, Cell(QString::fromStdString(line.label)));
    table->setItem(row, 2, Cell(QString::fromStdString(line.text)));
    if (line.address == pc) pcRow = row;
  }
  table->clearSelection();
  if (pcRow >= 0) {
    table->selectRow(pcRow);
    table->scrollToItem(table->item(pcRow, 2));
  }
}

void DisassemblyView::ToggleBreakpoint(int row) {
  const int at = AddressOfRow(row);
  if (at < 0 || !command) return;
  const Debugger& d = driver_.debugger();
  const bool set = std::any_of(d.breakpoints.begin(), d.breakpoints.end(),
                               [&](const Breakpoint& b) { return b.address == at; });
  const QString hex = QStringLiteral("%1").arg(at, 4, 16, QLatin1Char('0')).toUpper();
  command((set ? QStringLiteral("delete ") : QStringLiteral("break ")) + hex);
}

}  // namespace rq4800
