// The "Select ComPort" dialog: pick one of the ports of the last scan.
#pragma once

#include <QString>
#include <QStringList>

#include "ComPort.h"

class QWidget;

namespace varnex {

// Shows the dialog over port.PortList (each entry with what the scan knows of it) and waits
// for the user. True when a port was chosen; port.PortNumber is then that port.
bool SelectPort(TComPort& port, QWidget* parent = nullptr);

// The dialog's rules. OK may be pressed only for a text that is exactly one of the items.
bool SelectPortOkEnabled(const QString& text, const QStringList& items);
// The number in the text after its first three characters (its leading digits; 0 when none,
// and above 255 for numbers too large to be a port).
int SelectPortNumberFromText(const QString& text);

}  // namespace varnex
