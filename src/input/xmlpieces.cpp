#include "input/xmlpieces.h"

#include "input/fieldsplit.h"

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

bool endsName(char c) { return isXmlBlank(c) || c == '>' || c == '<' || c == '/'; }

// Line ends in doc[from, to): LF, and CR where no LF follows it.
std::size_t lineEndsIn(std::string_view doc, std::size_t from, std::size_t to) {
    const char* p = doc.data();
    std::size_t ends = 0;
    if (std::memchr(p + from, '\r', to - from)) {
        for (std::size_t i = from; i < to; ++i)
            ends += p[i] == '\n' || (p[i] == '\r' && (i + 1 >= doc.size() || p[i + 1] != '\n'));
        return ends;
    }
    return countByte(doc.substr(from, to - from), '\n');
}

}  // namespace

std::string_view localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

void findFirstChildren(const pugi::xml_node& parent, std::initializer_list<WantedChild> wanted) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const std::string_view name = localName(c.name());
        for (const WantedChild& w : wanted)
            if (name == w.name && !*w.slot) *w.slot = c;
    }
}

XmlPieces::XmlPieces(std::string_view document, std::vector<std::string> cutAfter, std::size_t pieceBytes)
    : doc_(document), cutAfter_(std::move(cutAfter)), pieceBytes_(std::max<std::size_t>(pieceBytes, 1)) {}

std::optional<XmlError> XmlPieces::walk(XmlVisitor& visitor) {
    reopen_.clear();
    openNext_.clear();
    countedTo_ = linesBefore_ = 0;
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
                passTo(from);
                break;
            }
            if (!p.clean && last) {
                XmlError fault{p.result.status, documentOffset(p.result.offset), p.result.description()};
                openAtFault(p);
                if (!walkPiece(visitor, p)) return std::nullopt;
                return fault;
            }
            // A cut inside a construct or a point, or a fault: the piece
            // grows until it holds the construct, or to the end, where a
            // fault is the document's own.
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

    Parse p;
    p.result = tree_.load_buffer_inplace(buffer_.data(), buffer_.size(), kParseFlags, pugi::encoding_utf8);
    if (last) {
        // Only the document's start must hold an element: a later piece may
        // be the bare end of the text after the root element closed.
        if (from > 0 && p.result.status == pugi::status_no_document_element) p.result.status = pugi::status_ok;
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

// The elements still open where the parse stopped at a fault. pugixml has
// made every element before it and closed some: the open ones are the last
// element it made and that element's ancestors, less one for each end tag
// it took after that element's start tag. Those are counted in the
// document's bytes (the piece's were changed by the parse), up to the fault,
// or up to the end when the fault is only that elements were left open.
void XmlPieces::openAtFault(Parse& p) const {
    std::vector<pugi::xml_node> chain;
    for (pugi::xml_node n = tree_;;) {
        pugi::xml_node child = n.last_child();
        while (child && child.type() != pugi::node_element) child = child.previous_sibling();
        if (!child) break;
        chain.push_back(child);
        n = child;
    }
    const bool unclosedAtEnd = p.result.status == pugi::status_end_element_mismatch &&
                               static_cast<std::size_t>(p.result.offset) + 1 >= buffer_.size();
    const std::size_t end = unclosedAtEnd ? to_ : documentOffset(p.result.offset);
    std::size_t closed = 0;
    if (!chain.empty()) {
        const std::ptrdiff_t name = chain.back().offset_debug();
        const bool reopened = name < static_cast<std::ptrdiff_t>(reopen_.size());
        closed = endTagsTaken(reopened ? from_ : documentOffset(name - 1), !reopened, end);
    }
    chain.resize(chain.size() - std::min(closed, chain.size()));
    p.open = std::move(chain);
}

// End tags in the document between `at` and `end`: after the start tag at
// `at` when `startTag` (itself one when it closes itself), then across
// text, comments, CDATA sections and processing instructions. A tag or
// construct that does not end before `end` was not taken, nor was an end
// tag without a name, which closes nothing.
std::size_t XmlPieces::endTagsTaken(std::size_t at, bool startTag, std::size_t end) const {
    const std::string_view text = doc_.substr(0, end);
    std::size_t i = at, taken = 0;
    if (startTag) {
        char quote = 0;
        for (i = at + 1; i < text.size(); ++i) {
            const char c = text[i];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (i >= text.size()) return 0;
        if (text[i - 1] == '/') ++taken;
        ++i;
    }
    auto skipPast = [&](std::string_view close, std::size_t from) {
        const std::size_t e = text.find(close, from);
        return e == std::string_view::npos ? std::string_view::npos : e + close.size();
    };
    while (i < text.size()) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos) break;
        const std::string_view rest = text.substr(lt);
        if (rest.starts_with("<!--"))
            i = skipPast("-->", lt + 4);
        else if (rest.starts_with("<![CDATA["))
            i = skipPast("]]>", lt + 9);
        else if (rest.starts_with("<?"))
            i = skipPast("?>", lt + 2);
        else if (rest.starts_with("</") && rest.size() > 2 && !endsName(rest[2]) &&
                 (i = skipPast(">", lt + 2)) != std::string_view::npos)
            ++taken;
        else
            break;
    }
    return taken;
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
// million deep. The open elements are the ancestors of the marker, one at
// each depth, so whether an element ends here is a look at its depth. An
// element reopened from the previous piece was entered there: the visitor's
// answer then is kept and applied again, and it is not entered twice.
bool XmlPieces::walkPiece(XmlVisitor& visitor, const Parse& p) {
    // The reopened elements lead the piece, one inside the other.
    std::vector<pugi::xml_node> reopened;
    for (pugi::xml_node n = tree_.first_child(); n && reopened.size() < openNext_.size(); n = n.first_child())
        reopened.push_back(n);
    std::vector<XmlVisitor::Next> openNext(p.open.size(), XmlVisitor::Next::SkipChildren);
    std::size_t depth = 1;  // of `n`; the document's own elements are at 1
    auto ends = [&](const pugi::xml_node& n) { return depth > p.open.size() || p.open[depth - 1] != n; };
    pugi::xml_node n = tree_.first_child();
    bool walked = true;
    while (n && walked) {
        bool down = false;
        if (n.type() == pugi::node_element && n != p.marker) {
            const XmlVisitor::Next next =
                depth <= reopened.size() && reopened[depth - 1] == n ? openNext_[depth - 1] : visitor.enter(n);
            if (next == XmlVisitor::Next::Stop) return false;
            if (!ends(n)) openNext[depth - 1] = next;
            down = next == XmlVisitor::Next::Children && n.first_child();
            if (!down && ends(n) && !visitor.leave(n)) return false;
        }
        if (down) {
            n = n.first_child();
            ++depth;
            continue;
        }
        while (!n.next_sibling()) {
            n = n.parent();
            --depth;
            if (!n || n.type() != pugi::node_element) {
                walked = false;
                break;
            }
            if (ends(n) && !visitor.leave(n)) return false;
        }
        if (walked) n = n.next_sibling();
    }
    openNext_ = std::move(openNext);
    return true;
}

void XmlPieces::passTo(std::size_t offset) {
    if (!passed_) return;
    linesBefore_ += lineEndsIn(doc_, countedTo_, offset);
    countedTo_ = offset;
    passed_(offset);
}

std::size_t XmlPieces::lineAt(std::size_t offset) const {
    const std::size_t end = std::min(offset, doc_.size());
    if (end >= countedTo_) return 1 + linesBefore_ + lineEndsIn(doc_, countedTo_, end);
    return 1 + lineEndsIn(doc_, 0, end);
}

std::size_t XmlPieces::offsetOf(const pugi::xml_node& element) const {
    return documentOffset(element.offset_debug());
}

}  // namespace geovanta
