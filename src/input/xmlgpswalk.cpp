#include "input/xmlgpswalk.h"

#include <cmath>

#include "input/isotime.h"
#include "input/trackreader.h"
#include "input/wholefile.h"
#include "table/fieldinfo.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

bool endsXmlName(char c) { return isXmlBlank(c) || c == '>' || c == '/' || c == '<'; }

// Past the first `close` at or after `from`; npos when there is none.
std::size_t skipPast(std::string_view text, std::string_view close, std::size_t from) {
    const std::size_t at = text.find(close, from);
    return at == std::string_view::npos ? at : at + close.size();
}

bool isTextNode(const pugi::xml_node& node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

}  // namespace

std::string_view trimmedXml(std::string_view text) {
    while (!text.empty() && isXmlBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isXmlBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view withoutByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return bytes;
}

bool holdsNothing(std::string_view bytes) { return trimmedXml(withoutByteOrderMark(bytes)).empty(); }

bool startsLikeXml(std::string_view bytes) {
    const std::string_view text = trimmedXml(withoutByteOrderMark(bytes));
    return !text.empty() && text.front() == '<';
}

bool wideEncoding(std::string_view bytes) {
    using namespace std::string_view_literals;
    const std::string_view head = bytes.substr(0, 4);
    return head.starts_with("\xFF\xFE"sv) || head.starts_with("\xFE\xFF"sv) || head.starts_with("<\0"sv) ||
           head.starts_with("\0<"sv) || head == "\0\0\0<"sv;
}

std::string_view rootElementName(std::string_view head) {
    const std::string_view text = withoutByteOrderMark(head);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos) return {};
        const std::string_view rest = text.substr(lt);
        if (rest.starts_with("<?"))
            i = skipPast(text, "?>", lt + 2);
        else if (rest.starts_with("<!--"))
            i = skipPast(text, "-->", lt + 4);
        else if (rest.starts_with("<!"))
            i = skipPast(text, ">", lt + 2);
        else {
            std::size_t end = lt + 1;
            while (end < text.size() && !endsXmlName(text[end])) ++end;
            if (end == text.size()) return {};  // the name may go on past the head
            std::string_view name = text.substr(lt + 1, end - lt - 1);
            const std::size_t colon = name.rfind(':');
            if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
            return name;
        }
    }
    return {};
}

std::string_view elementText(const pugi::xml_node& element, std::string& scratch) {
    // The parse keeps an element's first run of text in the element itself
    // and later runs, after a comment, in children of their own.
    const std::string_view own = element.value();
    pugi::xml_node c = element.first_child();
    if (!c) return own;
    if (own.empty() && isTextNode(c) && !c.next_sibling()) return c.value();
    scratch.assign(own);
    for (; c; c = c.next_sibling())
        if (isTextNode(c)) scratch += c.value();
    return scratch;
}

bool XmlGpsWalk::lookAtProgress(const pugi::xml_node& at) {
    if (!read_.progress || ++looked_ % kLinesPerLook != 0) return true;
    read_.progress->setDone(pieces_.offsetOf(at));
    if (!read_.progress->cancelled()) return true;
    stopped_ = true;
    return false;
}

bool XmlGpsWalk::fail(const std::string& reason, const pugi::xml_node& where) {
    failure_ = reason + lineSuffix(read_.path, pieces_.lineAt(pieces_.offsetOf(where)));
    return false;
}

void XmlGpsWalk::startTrack() {
    track_ = ++read_.trackCounter;
    inTrack_ = true;
    pointNumber_ = 0;
}

void XmlGpsWalk::appendTrackPoint(const PointFields& fields) {
    if (!inTrack_) startTrack();
    appendPointRow(read_.rows, 'T', TrackReader::pointName(track_, ++pointNumber_), fields);
}

void XmlGpsWalk::appendWaypoint(std::string_view name, const PointFields& fields) {
    appendPointRow(read_.rows, 'P', name, fields);
}

bool XmlGpsWalk::readDegrees(std::string_view text, const char* field, double limit, std::optional<double>& value,
                             const pugi::xml_node& where) {
    value = parseNumber(text);
    if (!value) return fail(invalidFloatFieldMessage(quotedExcerpt(text), field), where);
    if (std::fabs(*value) > limit) return fail(outOfRangeMessage(text, field), where);
    return true;
}

bool XmlGpsWalk::readAltitude(std::string_view text, std::optional<double>& feet, const pugi::xml_node& where) {
    const std::optional<double> metres = parseNumberOrInfinity(text);
    if (!metres) return fail(invalidFloatFieldMessage(quotedExcerpt(text), "Elev"), where);
    feet = std::isfinite(*metres) ? feetFromMetres(*metres) : *metres;
    if (!altitudeInRange(*feet)) {
        feet = kNoAltitudeFeet;
        ++altitudesOutOfRange_;
    }
    return true;
}

bool XmlGpsWalk::readTime(std::string_view text, int64_t& ms, const pugi::xml_node& where) {
    const std::optional<int64_t> time = parseIsoTimeMs(text);
    if (!time) return fail(textOf(Msg::InvalidDateTime, {quotedExcerpt(text)}), where);
    ms = *time;
    return true;
}

LoadResult walkXmlGps(std::string_view bytes, GpsRead& read, XmlPieces& pieces, XmlGpsWalk& walk, Msg notFormat) {
    if (wideEncoding(bytes)) return LoadResult::failed(textOf(Msg::GpxNotUtf8) + lineSuffix(read.path, 1));
    if (holdsNothing(bytes)) return LoadResult::rejected(textOf(Msg::XmlFileEmpty, {displayFileName(read.path)}));
    if (!startsLikeXml(bytes)) return LoadResult::rejected(textOf(notFormat));

    if (read.spent) pieces.onPassed([spent = read.spent](std::size_t offset) { spent->release(offset); });
    if (read.progress) read.progress->setTotal(bytes.size());
    const std::optional<XmlError> fault = pieces.walk(walk);
    if (walk.stopped()) return LoadResult::cancelled();
    if (walk.notOfFormat()) return LoadResult::rejected(textOf(notFormat));
    if (fault && fault->status == pugi::status_no_document_element)
        return LoadResult::rejected(textOf(Msg::XmlFileEmpty, {displayFileName(read.path)}));
    if (read.spent) read.spent->release(bytes.size());

    LoadResult result = LoadResult::loaded();
    if (!walk.failure().empty())
        result = LoadResult::failed(walk.failure());
    else if (fault)
        result = LoadResult::failed(textOf(Msg::MalformedXml, {fault->reason}) +
                                    lineSuffix(read.path, pieces.lineAt(fault->offset)));
    result.altitudesOutOfRange = walk.altitudesOutOfRange();
    read.stats.altitudesOutOfRange += walk.altitudesOutOfRange();
    return result;
}

}  // namespace geovanta
