#include "tools/player/adif_reader.h"

#include <algorithm>
#include <limits>

namespace stats::player {
namespace {

constexpr std::size_t kNoLength = std::numeric_limits<std::size_t>::max();

struct Tag {
    std::string name;               // upper case
    std::size_t length = kNoLength; // kNoLength for <EOH>, <EOR> and other bare tags
    std::size_t end = 0;            // just past the '>'
};

enum class TagProblem {
    kNone,
    kCutOff,    // the file ends inside the tag
    kNotATag,   // '<' followed by something that is no field name
    kBadLength, // a name, then a length that is not a number
};

bool IsNameByte(unsigned char c) {
    // Field names are printable ASCII without the ADI delimiters.
    return c > 0x20 && c < 0x7F && c != '<' && c != '>' && c != ':' && c != ',' && c != '{' &&
           c != '}';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reads the tag whose '<' is at `at`: <NAME>, <NAME:LENGTH> or <NAME:LENGTH:TYPE>.
TagProblem ParseTag(std::string_view bytes, std::size_t at, Tag& tag) {
    std::size_t i = at + 1;
    tag.name.clear();
    while (i < bytes.size() && bytes[i] != ':' && bytes[i] != '>') {
        if (!IsNameByte(static_cast<unsigned char>(bytes[i]))) {
            return TagProblem::kNotATag;
        }
        tag.name += Upper(bytes[i]);
        ++i;
    }
    if (i == bytes.size()) {
        return TagProblem::kCutOff;
    }
    if (tag.name.empty()) {
        return TagProblem::kNotATag;
    }
    if (bytes[i] == '>') {
        tag.length = kNoLength;
        tag.end = i + 1;
        return TagProblem::kNone;
    }
    ++i; // the ':' before the length
    std::size_t length = 0;
    bool digits = false;
    for (; i < bytes.size() && IsDigit(bytes[i]); ++i) {
        digits = true;
        // Any length beyond the file's size is as good as infinite.
        if (length <= bytes.size()) {
            length = length * 10 + static_cast<std::size_t>(bytes[i] - '0');
        }
    }
    if (i < bytes.size() && bytes[i] == ':' && digits) {
        ++i; // a data type indicator follows; it is not needed here
        while (i < bytes.size() && bytes[i] != '>' && bytes[i] != '<') {
            ++i;
        }
    }
    if (i == bytes.size()) {
        return TagProblem::kCutOff;
    }
    if (!digits || bytes[i] != '>') {
        return TagProblem::kBadLength;
    }
    tag.length = length;
    tag.end = i + 1;
    return TagProblem::kNone;
}

// The tag as written, shortened for a message.
std::string Quote(std::string_view bytes, std::size_t at) {
    std::size_t end = bytes.find('>', at);
    end = end == std::string_view::npos ? bytes.size() : end + 1;
    std::string text(bytes.substr(at, std::min<std::size_t>(end - at, 40)));
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return "\"" + text + (end - at > 40 ? "...\"" : "\"");
}

std::string Place(std::size_t record, std::size_t at) {
    const std::string where = record == 0 ? "header" : "record " + std::to_string(record);
    return where + " (offset " + std::to_string(at) + "): ";
}

[[noreturn]] void Fail(std::size_t record, std::size_t at, const std::string& what) {
    throw AdifError(Place(record, at) + what);
}

void FailOnTag(TagProblem problem, std::string_view bytes, std::size_t record, std::size_t at) {
    switch (problem) {
    case TagProblem::kNone:
        return;
    case TagProblem::kCutOff:
        Fail(record, at, "the tag " + Quote(bytes, at) + " is cut off by the end of the file");
    case TagProblem::kNotATag:
        Fail(record, at, Quote(bytes, at) + " is not a field tag");
    case TagProblem::kBadLength:
        Fail(record, at, "the tag " + Quote(bytes, at) + " has no valid data length");
    }
}

// Takes the data of a field tag, or fails when they run past the end.
std::string TakeData(std::string_view bytes, const Tag& tag, std::size_t record, std::size_t at) {
    const std::size_t left = bytes.size() - tag.end;
    if (tag.length > left) {
        Fail(record, at,
             "the data of " + Quote(bytes, at) + " run past the end of the file (" +
                 std::to_string(left) + (left == 1 ? " byte" : " bytes") + " left)");
    }
    return std::string(bytes.substr(tag.end, tag.length));
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// A header that begins with text: it ends at the first <EOH> tag. A '<'
// that begins no tag is part of the text; well-formed fields are kept.
std::size_t ReadTextHeader(std::string_view bytes, std::size_t at, AdifLog& log) {
    for (;;) {
        at = bytes.find('<', at);
        if (at == std::string_view::npos) {
            throw AdifError("not an ADIF file: it does not begin with a field tag, and no <EOH> "
                            "ends a header");
        }
        Tag tag;
        if (ParseTag(bytes, at, tag) != TagProblem::kNone) {
            ++at;
            continue;
        }
        if (tag.length == kNoLength) {
            if (tag.name == "EOH") {
                return tag.end;
            }
            ++at;
            continue;
        }
        log.header.push_back({tag.name, TakeData(bytes, tag, 0, at)});
        at = tag.end + tag.length;
    }
}

} // namespace

const std::string* AdifRecord::Find(std::string_view name) const {
    for (const AdifField& field : fields) {
        if (field.name == name) {
            return &field.data;
        }
    }
    return nullptr;
}

AdifLog ReadAdif(std::string_view bytes) {
    AdifLog log;
    std::size_t at = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (at < bytes.size() && IsBlank(bytes[at])) {
        ++at;
    }
    if (at == bytes.size()) {
        throw AdifError("not an ADIF file: it holds no data");
    }
    if (bytes.substr(at, 5) == "<?xml") {
        throw AdifError("not an ADI file: this is XML (ADX); export the log as .adi");
    }
    bool headerDone = false;
    if (bytes[at] != '<') {
        at = ReadTextHeader(bytes, at, log);
        headerDone = true;
    }

    AdifRecord record;
    record.number = 1;
    for (;;) {
        // Anything between a field's data and the next tag is ignored.
        at = bytes.find('<', at);
        if (at == std::string_view::npos) {
            break;
        }
        Tag tag;
        FailOnTag(ParseTag(bytes, at, tag), bytes, record.number, at);
        if (record.fields.empty()) {
            record.offset = at;
        }
        if (tag.length != kNoLength) {
            record.fields.push_back({tag.name, TakeData(bytes, tag, record.number, at)});
            at = tag.end + tag.length;
            continue;
        }
        if (tag.name == "EOR") {
            if (!record.fields.empty()) { // an empty record is no QSO
                log.records.push_back(std::move(record));
                record = AdifRecord();
                record.number = log.records.size() + 1;
            }
        } else if (tag.name == "EOH") {
            // A header whose first field comes right at the start of the file.
            if (headerDone || !log.records.empty()) {
                Fail(record.number, at, "<EOH> after the header or the first record");
            }
            log.header = std::move(record.fields);
            record.fields.clear();
            headerDone = true;
        } else {
            Fail(record.number, at, "the tag " + Quote(bytes, at) + " has no data length");
        }
        at = tag.end;
    }
    if (!record.fields.empty()) {
        log.notes.push_back("record " + std::to_string(record.number) +
                            " has no <EOR> before the end of the file; it is read all the same");
        log.records.push_back(std::move(record));
    }
    return log;
}

} // namespace stats::player
