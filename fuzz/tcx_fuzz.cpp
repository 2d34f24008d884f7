// The TCX reader on any bytes: it must end with its rows, its rejection or
// its error, never crash or hang, and leave the table whole; and reading the
// file in pieces of a few bytes must give the same rows and the same message
// as reading it in one.
#include <cstddef>
#include <cstdint>

#include "input/tcxreader.h"
#include "xmlreadercheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    geovanta::fuzz::checkPieceReader(std::string_view(reinterpret_cast<const char*>(data), size),
                                     geovanta::readTcxInPieces);
    return 0;
}
