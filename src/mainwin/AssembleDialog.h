#pragma once

#include "desktop/ZForm.h"

#include <QDialog>
#include <QStringList>

#include <cstdint>

class QComboBox;
class QPushButton;
class TComposerHost;

// Composes the two-byte instruction at one memory address from drop-down
// lists of opcodes and operands, and writes it into main memory on OK.
// A new dialog is made for every opening; it frees itself when closed.
class TAssembleDialog : public QDialog, public TZForm {
  Q_OBJECT

 public:
  explicit TAssembleDialog(TComposerHost& host);

  // The operand lists; in every list the item index is the value it stands for.
  static const QStringList& RegisterChoices();
  static const QStringList& IndirectChoices();
  static const QStringList& ByteChoices();
  static const QStringList& AddressChoices();
  static const QStringList& NibbleChoices();
  static const QStringList& NotApplicableChoices();

  // Reads the instruction at address (and the next address, modulo 256).
  void SetAddress(int address);
  int InstrAddress() const { return FInstrAddress; }
  uint16_t InstrWord() const { return FInstrWord; }

  QComboBox* opcode;
  QComboBox* op1;
  QComboBox* op2;
  QComboBox* op3;
  QPushButton* OkButton;
  QPushButton* CancelButton;

 private:
  void ShowWord();
  // list == nullptr shows a disabled "N/A".
  void FillOperand(QComboBox* box, const QStringList* list, int index);
  void opcodeChange(int index);
  void opXChange();
  void OkButtonClick();

  TComposerHost& FHost;
  int FInstrAddress = 0;
  uint16_t FInstrWord = 0;
};
