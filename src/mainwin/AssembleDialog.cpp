#include "mainwin/AssembleDialog.h"

#include "desktop/ContextHelp.h"
#include "desktop/HelpHook.h"
#include "machine/Composer.h"
#include "machine/InstructionSet.h"
#include "mainwin/ComposerHost.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <array>

namespace {

// The items an operand box offers; nullptr for "N/A".
const QStringList* ChoicesOf(TChoiceKind kind) {
  using D = TAssembleDialog;
  switch (kind) {
    case ckRegister: return &D::RegisterChoices();
    case ckIndirect: return &D::IndirectChoices();
    case ckByte: return &D::ByteChoices();
    case ckAddress: return &D::AddressChoices();
    case ckNibble: return &D::NibbleChoices();
    case ckNotApplicable: break;
  }
  return nullptr;
}

// The machine's composer list as the box's items.
QStringList ChoiceList(TChoiceKind kind) {
  QStringList list;
  for (const std::string& item : ComposerChoices(kind)) list << QString::fromStdString(item);
  return list;
}

// In the order of the opcode nibble, so the item index is the opcode.
const QStringList& OpcodeNames() {
  static const QStringList names = [] {
    QStringList list;
    for (const TInstructionInfo& info : InstructionTable)
      list << QString::fromLatin1(info.ComposerName.data(), static_cast<qsizetype>(info.ComposerName.size()));
    return list;
  }();
  return names;
}

// The width a closed box needs to show the widest of the items whole: the
// text plus what the style takes for the frame and the arrow.
int BoxWidthFor(const QComboBox* box, const QStringList& items) {
  int text = 0;
  for (const QString& item : items) text = std::max(text, box->fontMetrics().horizontalAdvance(item));
  QStyleOptionComboBox option;
  option.initFrom(box);
  option.frame = true;
  option.rect = QRect(0, 0, 100, 22);
  const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
  // The label is drawn one pixel inside the field on either side, and a
  // glyph may reach a pixel past its advance.
  return text + option.rect.width() - field.width() + 4;
}

}  // namespace

const QStringList& TAssembleDialog::RegisterChoices() {
  static const QStringList list = ChoiceList(ckRegister);
  return list;
}

const QStringList& TAssembleDialog::IndirectChoices() {
  static const QStringList list = ChoiceList(ckIndirect);
  return list;
}

const QStringList& TAssembleDialog::ByteChoices() {
  static const QStringList list = ChoiceList(ckByte);
  return list;
}

const QStringList& TAssembleDialog::AddressChoices() {
  static const QStringList list = ChoiceList(ckAddress);
  return list;
}

const QStringList& TAssembleDialog::NibbleChoices() {
  static const QStringList list = ChoiceList(ckNibble);
  return list;
}

const QStringList& TAssembleDialog::NotApplicableChoices() {
  static const QStringList list = ChoiceList(ckNotApplicable);
  return list;
}

TAssembleDialog::TAssembleDialog(TComposerHost& host) : QDialog(host.HostWindow()), TZForm(this), FHost(host) {
  setWindowTitle(QStringLiteral("Asseble Instruction"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowContextHelpButtonHint);
  SetHelpContext(this, hcDialog);
  setFixedSize(296, 88);

  // Every box is as wide as its longest choice, with narrow margins and gaps,
  // so that "immediate load" and "[FF]" show whole within the 296 pixels.
  constexpr int Margin = 4;
  constexpr int Gap = 2;
  opcode = new QComboBox(this);
  opcode->setGeometry(Margin, 14, std::max(100, BoxWidthFor(opcode, OpcodeNames())), 22);
  opcode->addItems(OpcodeNames());
  opcode->setMaxVisibleItems(16);
  opcode->setToolTip(QStringLiteral("Choose Instruction"));
  SetHelpContext(opcode, hcComposerOpcode);

  // The lists each operand box can get, by the opcode table.
  const QStringList operandChoices[] = {
      RegisterChoices() + NotApplicableChoices(),
      AddressChoices() + ByteChoices() + RegisterChoices() + NibbleChoices() + IndirectChoices() +
          NotApplicableChoices(),
      RegisterChoices() + NotApplicableChoices(),
  };
  QComboBox** boxes[] = {&op1, &op2, &op3};
  int widths[3];
  int left = opcode->geometry().right() + 1 + Gap;
  int spare = width() - Margin - left - 2 * Gap;
  for (int i = 0; i < 3; ++i) {
    *boxes[i] = new QComboBox(this);
    widths[i] = BoxWidthFor(*boxes[i], operandChoices[i]);
    spare -= widths[i];
  }
  // Whatever is left over is shared out.
  const THelpContext contexts[] = {hcComposerFirst, hcComposerSecond, hcComposerThird};
  for (int i = 0; i < 3; ++i) {
    QComboBox* box = *boxes[i];
    box->setGeometry(left, 14, widths[i] + std::max(spare, 0) / 3, 22);
    box->setToolTip(QStringLiteral("operand"));
    SetHelpContext(box, contexts[i]);
    left = box->geometry().right() + 1 + Gap;
  }

  OkButton = new QPushButton(QStringLiteral("Ok"), this);
  OkButton->setGeometry(130, 54, 75, 25);
  OkButton->setDefault(true);
  SetHelpContext(OkButton, hcDialog);
  CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  CancelButton->setGeometry(213, 54, 75, 25);
  SetHelpContext(CancelButton, hcDialog);

  connect(opcode, &QComboBox::currentIndexChanged, this, [this](int index) { opcodeChange(index); });
  for (QComboBox* box : {op1, op2, op3}) connect(box, &QComboBox::currentIndexChanged, this, [this] { opXChange(); });
  connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

  move(host.HostWindow()->frameGeometry().topLeft() + QPoint(150, 242));
  // The title-bar help button enters Qt's "What's this?" mode, which the
  // application's context help answers for every window.
  TContextHelp::OfferF1(this);
  ShowWord();
}

void TAssembleDialog::SetAddress(int address) {
  FInstrAddress = address & 0xFF;
  // A cell loaded from a program file may hold a value outside 0..255; only
  // its low byte can take part in an instruction word.
  const int first = FHost.MemoryCell(FInstrAddress) & 0xFF;
  const int second = FHost.MemoryCell((FInstrAddress + 1) & 0xFF) & 0xFF;
  FInstrWord = static_cast<uint16_t>(first * 256 + second);
  ShowWord();
}

void TAssembleDialog::ShowWord() {
  // Filling the boxes must not feed back into the word being shown.
  const QSignalBlocker blockOpcode(opcode), block1(op1), block2(op2), block3(op3);
  const int w1 = FInstrWord >> 12;
  opcode->setCurrentIndex(w1);
  const TInstructionInfo& info = InstructionTable[static_cast<size_t>(w1)];
  const std::array<QComboBox*, 3> boxes{op1, op2, op3};
  for (size_t i = 0; i < boxes.size(); ++i) {
    const TComposerSlot& slot = info.ComposerSlots[i];
    FillOperand(boxes[i], ChoicesOf(slot.Choices), WordFieldValue(FInstrWord, slot.Field));
  }
}

void TAssembleDialog::FillOperand(QComboBox* box, const QStringList* list, int index) {
  box->clear();
  box->addItems(list ? *list : NotApplicableChoices());
  box->setCurrentIndex(list ? index : 0);
  box->setEnabled(list != nullptr);
}

void TAssembleDialog::opcodeChange(int index) {
  if (index < 0) return;
  FInstrWord = ComposerWithOpcode(FInstrWord, index);
  ShowWord();
}

void TAssembleDialog::opXChange() {
  const int w1 = FInstrWord >> 12;
  const TInstructionInfo& info = InstructionTable[static_cast<size_t>(w1)];
  const std::array<QComboBox*, 3> boxes{op1, op2, op3};
  int word = w1 << 12;
  for (size_t i = 0; i < boxes.size(); ++i) {
    const TComposerSlot& slot = info.ComposerSlots[i];
    if (slot.Choices != ckNotApplicable) word |= WordFieldBits(slot.Field, std::max(0, boxes[i]->currentIndex()));
  }
  FInstrWord = static_cast<uint16_t>(word);
  ShowWord();
}

void TAssembleDialog::OkButtonClick() {
  FHost.WriteInstruction(FInstrAddress, FInstrWord);
  accept();
}
