#include "transfer_form_unit.h"

namespace varnex {

Ttransfer_form::Ttransfer_form(TRuvolt& link, ITransferHost& host, QWidget* parent)
    : QDialog(parent), link_(link), host_(host) {}

void Ttransfer_form::Run(uint8_t, bool) { exec(); }

bool Ttransfer_form::WriteSucceeded() const { return writeSucceeded_; }

}  // namespace varnex
