// The DTMF command INI file: any bytes loaded over the shipped rows, then the rows as the report
// and the exports print them. A user's key or value never becomes markup.
#include <string>
#include <vector>

#include "DtmfCommands.h"
#include "Exports.h"
#include "FuzzSupport.h"
#include "Report.h"

using namespace varnex;
using varnex::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::QuietHost quiet;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<DtmfCommandRow> rows = ShippedDtmfCommands();
  std::string why;
  Check(LoadDtmfCommands(fuzz::ScratchFile("dtmf.ini", bytes), rows, &why),
        "a file that exists loads");
  for (const DtmfCommandRow& row : rows) {
    Check(fuzz::IsUtf8(row.key) && fuzz::IsUtf8(row.value), "rows are UTF-8");
    for (const std::string& cell : {DtmfCellText(row.key), DtmfCellText(row.value)})
      Check(cell.find_first_of("<>\"") == std::string::npos, "a cell's text is no markup");
  }
  DtmfCommandsHtml(rows);
  DtmfCommandsText(rows);
  return 0;
}
