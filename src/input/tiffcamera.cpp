// The camera of a TIFF walk: its make and model from IFD0 and its serial
// number from wherever the maker put it. None of it is needed for the
// photograph's time, so a value that cannot be read is simply missing.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "input/tiffwalk.h"
#include "table/asciicase.h"

namespace geovanta {
namespace {

// Maker notes hold a few dozen entries; no more than this are looked at.
constexpr uint32_t kMaxMakerNoteEntries = 256;

constexpr uint16_t kCanonSerialNumber = 0x000C;
constexpr uint16_t kNikonSerialNumber = 0x001D;
constexpr uint16_t kNikonOldSerialNumber = 0x00A0;  // D70 and older bodies

constexpr uint16_t kLongType = 4;

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// A serial of zeros alone is a camera that was never given one.
bool noSerial(const std::string& serial) { return serial.find_first_not_of('0') == std::string::npos; }

// "EOS D30" as a word of its own, not the start of "EOS D300".
bool isD30(const std::string& model) {
    const std::size_t at = model.find("EOS D30");
    if (at == std::string::npos) return false;
    const std::size_t after = at + 7;
    return after == model.size() || !std::isalnum(static_cast<unsigned char>(model[after]));
}

}  // namespace

CameraKey TiffWalk::camera(const Found& found) {
    auto text = [this](const std::optional<Entry>& e) -> std::string {
        if (!e) return {};
        try {
            return shortText(*e, static_cast<uint32_t>(kMaxCameraText));
        } catch (const ExifError&) {
            return {};
        }
    };
    CameraKey key;
    key.make = text(found.make);
    key.model = text(found.model);
    for (const auto& e : {found.bodySerial, found.ifd0BodySerial}) {
        if (!noSerial(key.serial)) break;
        key.serial = text(e);
    }
    if (noSerial(key.serial) && found.makerNote) key.serial = makerNoteSerial(*found.makerNote, key);
    if (noSerial(key.serial)) key.serial = text(found.cameraSerial);
    if (noSerial(key.serial)) key.serial.clear();
    return key;
}

// Canon's maker notes are a directory of the Exif data's own TIFF; Nikon's
// are a TIFF of their own behind "Nikon\0\2", or (older bodies) a bare
// directory. Other makers' notes are left alone.
std::string TiffWalk::makerNoteSerial(const Entry& note, const CameraKey& camera) {
    const uint64_t at = base_ + note.value;
    try {
        if (startsWithIgnoringCase(camera.make, "Canon")) return canonSerial(at, camera.model);
        if (!startsWithIgnoringCase(camera.make, "NIKON")) return {};
        unsigned char head[10];
        if (readUpTo(file_, at, head, sizeof head) < sizeof head) return {};
        if (std::memcmp(head, "Nikon\0\2", 7) == 0) {
            TiffWalk own(file_, at + sizeof head);
            return own.nikonSerial(own.firstDirectory());
        }
        if (std::memcmp(head, "Nikon\0", 6) == 0) return {};  // the first Coolpix notes: no serial
        return nikonSerial(at);
    } catch (const ExifError&) {
        return {};
    }
}

// A number, written as the camera's menu and ExifTool show it.
std::string TiffWalk::canonSerial(uint64_t directory, const std::string& model) {
    for (const Entry& e : entriesAt(directory, kMaxMakerNoteEntries)) {
        if (e.tag != kCanonSerialNumber || e.type != kLongType || e.count != 1) continue;
        const uint32_t n = e.value;
        char text[16];
        if (isD30(model))
            std::snprintf(text, sizeof text, "%.4x%.5u", n >> 16, n & 0xFFFFu);
        else if (model.find("EOS-1D") != std::string::npos)
            std::snprintf(text, sizeof text, "%.6u", n);
        else
            std::snprintf(text, sizeof text, "%.10u", n);
        return text;
    }
    return {};
}

std::string TiffWalk::nikonSerial(uint64_t directory) {
    std::optional<Entry> newer, older;
    for (const Entry& e : entriesAt(directory, kMaxMakerNoteEntries)) {
        if (e.tag == kNikonSerialNumber) newer = e;
        if (e.tag == kNikonOldSerialNumber) older = e;
    }
    for (const auto& e : {newer, older}) {
        std::string serial = e ? shortText(*e, static_cast<uint32_t>(kMaxCameraText)) : "";
        if (!serial.empty()) return serial;
    }
    return {};
}

}  // namespace geovanta
