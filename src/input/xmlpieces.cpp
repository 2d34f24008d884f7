#include "input/xmlpieces.h"

#include <algorithm>
#include <cstring>

namespace geovanta {
namespace {

// Entities and CDATA sections are read as text; an element holding only
// text keeps it in itself instead of in a child node, which halves the
// nodes of a GPS log. Comments, declarations and processing instructions
// are checked and dropped.
constexpr unsigned kParseFlags = pugi::parse_escapes | pugi::parse_cdata | pugi::parse_embed_pcdata;

constexpr std::string_view kMarker = "<geovanta-piece-end/>";

// Deeper nesting, or longer names, make the reopening tags a burden on every
// piece; such a document is read on in one piece instead.
constexpr std::size_t kMaxCarriedDepth = 32;
constexpr std::size_t kMaxReopenBytes = 4096;
// Bounds the search for a clean place in front of a fault.
constexpr int kMaxPrefixTries = 64;

bool isXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool endsName(char c) { return isXmlBlank(c) || c == '>' || c == '<' || c == '/'; }

}  // namespace

std::string_view localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

XmlPieces::XmlPieces(std::string_view document, std::vector<std::string> cutAfter, std::size_t pieceBytes)
    : doc_(document), cutAfter_(std::move(cutAfter)), pieceBytes_(std::max<std::size_t>(pieceBytes, 1)) {}

std::optional<XmlError> XmlPieces::walk(XmlVisitor& visitor) {
    reopen_.clear();
    parses_ = 0;
    const std::size_t size = doc_.size();
    std::size_t from = 0;
    for (;;) {
        std::size_t to = size - from <= pieceBytes_ ? size : nextCut(from + pieceBytes_);
        for (;;) {
            const bool last = to == size;
            Parse p = parse(from, to, last);
            if (p.clean && (last || canCarry(p))) {
                if (!walkPiece(visitor, p)) return std::nullopt;
                if (last) return std::nullopt;
                carry(p);
                from = to;
                break;
            }
            if (!p.clean) {
                const std::size_t faultAt = documentOffset(p.result.offset);
                XmlError fault{p.result.status, faultAt, p.result.description()};
                std::size_t cut = from;
                Parse q = cleanPrefix(from, faultAt, cut);
                if (last) {
                    if (q.clean && !walkPiece(visitor, q)) return std::nullopt;
                    return fault;
                }
                // Read on from the fault: a cut in the wrong place is past
                // it once the piece holds the rest of the construct.
                if (cut > from && q.clean && canCarry(q)) {
                    if (!walkPiece(visitor, q)) return std::nullopt;
                    carry(q);
                    from = cut;
                    break;
                }
            }
            to = p.clean && tooDeep(p) ? size : grown(from, to);
        }
    }
}

XmlPieces::Parse XmlPieces::parse(std::size_t from, std::size_t to, bool last) {
    from_ = from;
    to_ = to;
    buffer_.assign(reopen_);
    buffer_.append(doc_.substr(from, to - from));
    const std::size_t markerAt = buffer_.size();
    if (!last) buffer_.append(kMarker);
    tree_.reset();
    ++parses_;

    Parse p;
    p.result = tree_.load_buffer_inplace(buffer_.data(), buffer_.size(), kParseFlags, pugi::encoding_utf8);
    if (last) {
        p.clean = p.result.status == pugi::status_ok;
        return p;
    }
    // The marker is the last element of the tree; the elements above it are
    // the open ones. Unclosed elements are the only fault allowed, reported
    // at the very end.
    const bool onlyUnclosed = p.result.status == pugi::status_ok ||
                              (p.result.status == pugi::status_end_element_mismatch &&
                               static_cast<std::size_t>(p.result.offset) + 1 >= buffer_.size());
    std::vector<pugi::xml_node> chain;
    for (pugi::xml_node n = tree_.last_child(); n && n.type() == pugi::node_element; n = n.last_child())
        chain.push_back(n);
    if (onlyUnclosed && !chain.empty() && chain.back().offset_debug() == static_cast<std::ptrdiff_t>(markerAt + 1) &&
        !chain.back().first_child()) {
        p.marker = chain.back();
        chain.pop_back();
        p.open = std::move(chain);
        p.clean = true;
    }
    return p;
}

// The longest piece from `from` up to a '<' at or before the fault that
// parses cleanly: pugixml may name a place inside the faulty construct, so
// the cut moves back until the marker comes out as an element again.
XmlPieces::Parse XmlPieces::cleanPrefix(std::size_t from, std::size_t faultAt, std::size_t& cut) {
    std::size_t limit = faultAt;
    for (int tries = 0; tries < kMaxPrefixTries; ++tries) {
        std::size_t lt = from;
        if (!doc_.empty() && limit >= from) {
            const std::size_t end = std::min(limit, doc_.size() - 1);
            const std::size_t at = doc_.substr(from, end - from + 1).rfind('<');
            if (at != std::string_view::npos) lt = from + at;
        }
        Parse p = parse(from, lt, false);
        if (p.clean || lt == from) {
            cut = lt;
            return p;
        }
        const std::size_t again = documentOffset(p.result.offset);
        limit = again < lt ? again : lt - 1;
    }
    cut = from;
    return parse(from, from, false);
}

std::size_t XmlPieces::documentOffset(std::ptrdiff_t pieceOffset) const {
    const auto reopened = static_cast<std::ptrdiff_t>(reopen_.size());
    if (pieceOffset <= reopened) return from_;
    return std::min(from_ + static_cast<std::size_t>(pieceOffset - reopened), to_);
}

// Just past the first end tag of a cut element that starts at or after
// `from`; the document's end when there is none.
std::size_t XmlPieces::nextCut(std::size_t from) const {
    const std::size_t size = doc_.size();
    const char* base = doc_.data();
    std::size_t i = from;
    while (i < size) {
        const void* hit = std::memchr(base + i, '<', size - i);
        if (!hit) break;
        i = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        if (i + 1 >= size || base[i + 1] != '/') {
            ++i;
            continue;
        }
        std::size_t j = i + 2;
        while (j < size && !endsName(base[j])) ++j;
        std::string_view name(base + i + 2, j - i - 2);
        const std::size_t colon = name.rfind(':');
        if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
        std::size_t k = j;
        while (k < size && isXmlBlank(base[k])) ++k;
        if (k < size && base[k] == '>' && std::find(cutAfter_.begin(), cutAfter_.end(), name) != cutAfter_.end())
            return k + 1;
        i = j;
    }
    return size;
}

// A piece twice as long, so that pieces that must grow cost a linear amount
// of parsing in all.
std::size_t XmlPieces::grown(std::size_t from, std::size_t to) const {
    const std::size_t size = doc_.size();
    const std::size_t length = std::max<std::size_t>(to - from, 1);
    if (size - from <= 2 * length) return size;
    return nextCut(from + 2 * length);
}

bool XmlPieces::tooDeep(const Parse& p) const {
    if (p.open.size() > kMaxCarriedDepth) return true;
    std::size_t bytes = 0;
    for (const pugi::xml_node& n : p.open) bytes += std::strlen(n.name()) + 2;
    return bytes > kMaxReopenBytes;
}

bool XmlPieces::canCarry(const Parse& p) const {
    for (const pugi::xml_node& n : p.open)
        if (std::find(cutAfter_.begin(), cutAfter_.end(), localName(n.name())) != cutAfter_.end()) return false;
    return !tooDeep(p);
}

void XmlPieces::carry(const Parse& p) {
    std::string tags;
    for (const pugi::xml_node& n : p.open) {
        tags += '<';
        tags += n.name();
        tags += '>';
    }
    reopen_ = std::move(tags);
}

// Depth first without recursion: a hostile document may nest elements a
// million deep.
bool XmlPieces::walkPiece(XmlVisitor& visitor, const Parse& p) {
    const auto reopened = static_cast<std::ptrdiff_t>(reopen_.size());
    auto ends = [&](const pugi::xml_node& n) {
        return std::find(p.open.begin(), p.open.end(), n) == p.open.end();
    };
    pugi::xml_node n = tree_.first_child();
    while (n) {
        bool down = false;
        if (n.type() == pugi::node_element && n != p.marker) {
            switch (visitor.enter(n, n.offset_debug() < reopened)) {
                case XmlVisitor::Next::Stop: return false;
                case XmlVisitor::Next::Children: down = static_cast<bool>(n.first_child()); break;
                case XmlVisitor::Next::SkipChildren: break;
            }
            if (!down && ends(n) && !visitor.leave(n)) return false;
        }
        if (down) {
            n = n.first_child();
            continue;
        }
        while (!n.next_sibling()) {
            n = n.parent();
            if (!n || n.type() != pugi::node_element) return true;
            if (ends(n) && !visitor.leave(n)) return false;
        }
        n = n.next_sibling();
    }
    return true;
}

std::size_t XmlPieces::lineAt(std::size_t offset) const {
    const std::size_t end = std::min(offset, doc_.size());
    std::size_t line = 1;
    for (std::size_t i = 0; i < end; ++i) {
        if (doc_[i] == '\n' || (doc_[i] == '\r' && (i + 1 >= doc_.size() || doc_[i + 1] != '\n'))) ++line;
    }
    return line;
}

std::size_t XmlPieces::offsetOf(const pugi::xml_node& element) const {
    return documentOffset(element.offset_debug());
}

}  // namespace geovanta
