// The settings file as any bytes: parsing, reading every key and rewriting a
// key must neither crash nor lose the other lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/inifile.h"
#include "table/numbertext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    geovanta::IniFile ini = geovanta::IniFile::parse(text);
    for (const char* key : {"DeltaTrack", "DeltaFoto", "DeltaSec", "FotoPath", "DataPath"}) {
        if (auto v = ini.value("Setting", key)) {
            if (v->size() > geovanta::IniFile::kMaxValueLength) __builtin_trap();
            (void)geovanta::parseNumber(*v);
            (void)geovanta::parseInteger(*v);
        }
    }
    ini.setValue("Setting", "DeltaSec", "300");
    const geovanta::IniFile again = geovanta::IniFile::parse(ini.text());
    const auto v = again.value("Setting", "DeltaSec");
    if (!v || *v != "300") __builtin_trap();
    return 0;
}
