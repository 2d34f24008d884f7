#pragma once
// A large XML document read piece by piece with pugixml, so that only one
// piece's tree is in memory at a time: a GPS log of a million points would
// otherwise take several times the file's size as a tree.
//
// The document is cut right after end tags of the elements the caller names
// (the points of a log). Each piece is parsed on its own, behind start tags
// that reopen the elements still open where the previous piece ended, and
// before an empty marker element whose place in the tree tells which
// elements are still open at the piece's end; a piece whose marker does not
// come out as an element of its own was not cut between two pieces of markup.
//
// A piece that does not parse cleanly (a cut that fell inside a comment, a
// CDATA section or an attribute, or a real fault) grows, and so does one
// whose cut would leave one of the named elements open; a fault that is
// still there when the piece reaches the end of the document is the
// document's own, and the elements that ended before it are walked.
//
// Encodings other than UTF-8 (and ASCII) are not converted: text stays the
// file's bytes, like the names in every other GPS file the program reads.

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace geovanta {

// Walked over the elements in document order, across pieces: each element
// is entered once, even when it spans pieces, and left once it has ended;
// one still open at a fault is never left.
class XmlVisitor {
public:
    enum class Next { Children, SkipChildren, Stop };
    virtual ~XmlVisitor() = default;
    // An element starts; its attributes are at hand, its content is not yet.
    virtual Next enter(const pugi::xml_node& element) = 0;
    // The element has ended, all its content at hand. False stops the walk.
    virtual bool leave(const pugi::xml_node& element) = 0;
};

// Where and why the document is not well-formed.
struct XmlError {
    pugi::xml_parse_status status = pugi::status_ok;
    std::size_t offset = 0;  // byte offset in the document
    std::string reason;      // pugixml's description
};

class XmlPieces {
public:
    static constexpr std::size_t kDefaultPieceBytes = std::size_t{1} << 20;

    // `cutAfter`: local names (without a namespace prefix) of the elements
    // after whose end tags the document may be cut. The document must stay
    // alive and unchanged while this object is used.
    XmlPieces(std::string_view document, std::vector<std::string> cutAfter,
              std::size_t pieceBytes = kDefaultPieceBytes);

    // Walks the whole document. Returns its first well-formedness fault: the
    // elements that ended before it have been left, the ones open at it
    // never are. A walk that the visitor stopped returns nothing.
    std::optional<XmlError> walk(XmlVisitor& visitor);

    // Told, during a walk, each document offset before which no byte will
    // be looked at again (lineAt included), so that the caller can free them.
    void onPassed(std::function<void(std::size_t)> passed) { passed_ = std::move(passed); }

    // 1-based line of a byte offset of the document; lines end with LF,
    // CR LF or a lone CR.
    std::size_t lineAt(std::size_t offset) const;
    // Byte offset in the document of an element of the piece being walked.
    std::size_t offsetOf(const pugi::xml_node& element) const;

private:
    struct Parse {
        pugi::xml_parse_result result;
        bool clean = false;                // well-formed up to the piece's end
        std::vector<pugi::xml_node> open;  // elements open at the end or the fault, outermost first
        pugi::xml_node marker;
    };

    Parse parse(std::size_t from, std::size_t to, bool last);
    void openAtFault(Parse& p) const;
    std::size_t endTagsTaken(std::size_t at, bool startTag, std::size_t end) const;
    std::size_t documentOffset(std::ptrdiff_t pieceOffset) const;
    std::size_t nextCut(std::size_t from) const;
    std::size_t grown(std::size_t from, std::size_t to) const;
    bool tooDeep(const Parse& p) const;
    bool canCarry(const Parse& p) const;
    bool walkPiece(XmlVisitor& visitor, const Parse& p);
    void carry(const Parse& p);
    void passTo(std::size_t offset);

    std::string_view doc_;
    std::vector<std::string> cutAfter_;
    std::size_t pieceBytes_;

    pugi::xml_document tree_;
    std::string buffer_;    // the piece being parsed: reopening tags, document bytes, marker
    std::string reopen_;    // start tags of the elements open at the previous cut
    std::vector<XmlVisitor::Next> openNext_;  // what the visitor answered when it entered them
    std::size_t from_ = 0;  // document offset of the piece's first byte
    std::size_t to_ = 0;    // document offset just past its last byte
    std::function<void(std::size_t)> passed_;
    std::size_t countedTo_ = 0;    // the line ends before this offset are counted
    std::size_t linesBefore_ = 0;  // and there are this many
};

// The name without its namespace prefix.
std::string_view localName(const char* name);

// A child element wanted by its local name, and where the first one goes.
struct WantedChild {
    std::string_view name;
    pugi::xml_node* slot;
};
// Fills each wanted slot with the first child element of that local name,
// in one pass over the children; a slot with no such child stays empty.
void findFirstChildren(const pugi::xml_node& parent, std::initializer_list<WantedChild> wanted);

// The white space of XML: blank, tab, line feed, carriage return.
inline bool isXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace geovanta
