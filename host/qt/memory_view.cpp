#include "host/qt/memory_view.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "debugger/debug_texts.h"
#include "machine/machine.h"

namespace rq4800 {

namespace {

constexpr int kPage = MemoryView::kRows * 16;
// The command language's prefixes for the chips, by area.
const char* const kPrefixes[] = {"", "ram:", "rom:", "flash:"};

QString Hex(int64_t value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

MemoryView::MemoryView(Machine& machine, QWidget* parent) : QWidget(parent), machine_(machine) {
  area = new QComboBox(this);
  area->setObjectName(QStringLiteral("memoryArea"));
  area->addItems({tr("总线"), QStringLiteral("RAM"), QStringLiteral("ROM"), QStringLiteral("FLASH")});
  address = new QLineEdit(this);
  address->setObjectName(QStringLiteral("memoryAddress"));
  address->setPlaceholderText(tr("地址"));
  auto* back = new QPushButton(QStringLiteral("<"), this);
  auto* on = new QPushButton(QStringLiteral(">"), this);
  table = new QTableWidget(kRows, 16, this);
  table->setObjectName(QStringLiteral("memory"));
  table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // All sixteen bytes of a line in view at once, rows as high as the text.
  const int cell = table->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 6;
  for (int c = 0; c < 16; ++c) {
    table->setHorizontalHeaderItem(c, new QTableWidgetItem(Hex(c, 1)));
    table->setColumnWidth(c, cell);
  }
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
  table->verticalHeader()->setMinimumWidth(table->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 8);
  table->setMinimumWidth(16 * cell + table->verticalHeader()->minimumWidth() + 24);
  table->setToolTip(tr("双击一个字节输入新的十六进制值"));

  const auto showTyped = [this] {
    bool ok = false;
    const int64_t typed = address->text().trimmed().remove(QLatin1Char('$')).toLongLong(&ok, 16);
    Show(static_cast<Area>(area->currentIndex()), ok ? typed : start_);
  };
  connect(address, &QLineEdit::returnPressed, this, showTyped);
  connect(area, &QComboBox::currentIndexChanged, this, showTyped);
  connect(back, &QPushButton::clicked, this, [this] { Show(static_cast<Area>(area->currentIndex()), start_ - kPage); });
  connect(on, &QPushButton::clicked, this, [this] { Show(static_cast<Area>(area->currentIndex()), start_ + kPage); });
  connect(table, &QTableWidget::itemChanged, this, &MemoryView::Edited);

  auto* bar = new QHBoxLayout;
  bar->addWidget(area);
  bar->addWidget(address);
  bar->addWidget(back);
  bar->addWidget(on);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(table);
}

int64_t MemoryView::Size() const {
  switch (area->currentIndex()) {
    case kRam: return BusRQ4800::kRamSize;
    case kRom: return BusRQ4800::kRomSize;
    case kFlash: return BusRQ4800::kFlashSize;
    default: return 0x10000;
  }
}

void MemoryView::Show(Area shown, int64_t start) {
  if (area->currentIndex() != shown) area->setCurrentIndex(shown);  // comes back here through the signal
  start_ = std::clamp<int64_t>(start - start % 16, 0, Size() - kPage);
  Redraw();
}

void MemoryView::Redraw() {
  filling_ = true;
  const int digits = area->currentIndex() == kBus ? 4 : 6;
  address->setText(Hex(start_, digits));
  const uint8_t* chips[] = {nullptr, machine_.bus.ram.get(), machine_.bus.rom.get(), machine_.bus.flash.get()};
  const uint8_t* chip = chips[area->currentIndex()];
  for (int row = 0; row < kRows; ++row) {
    const int64_t line = start_ + row * 16;
    table->setVerticalHeaderItem(row, new QTableWidgetItem(Hex(line, digits)));
    for (int c = 0; c < 16; ++c) {
      const int64_t at = line + c;
      const int byte = chip ? chip[at] : DumpByte(machine_, static_cast<int>(at));
      // Items are kept and refilled: this also runs while one of them reports its edit.
      if (QTableWidgetItem* item = table->item(row, c)) {
        item->setText(Hex(byte, 2));
      } else {
        table->setItem(row, c, new QTableWidgetItem(Hex(byte, 2)));
      }
    }
  }
  filling_ = false;
}

void MemoryView::Edited(QTableWidgetItem* item) {
  if (filling_ || !command) return;
  const int64_t at = start_ + item->row() * 16 + item->column();
  const QString where = QString::fromLatin1(kPrefixes[area->currentIndex()]) + Hex(at, area->currentIndex() == kBus ? 4 : 6);
  // The cell shows what memory holds afterwards, whether the byte was taken or not.
  command(QStringLiteral("poke ") + where + QLatin1Char(' ') + item->text().trimmed());
  Redraw();
}

}  // namespace rq4800
