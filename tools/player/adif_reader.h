// A small reader of ADIF 3 files in the ADI form: field tags with data
// lengths, an optional header ended by <EOH>, records ended by <EOR>. The
// data are bytes: they are taken by their length, whatever they hold, so
// Windows-1251 texts pass through unchanged.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace stats::player {

struct AdifField {
    std::string name; // upper case: ADIF field names are case-insensitive
    std::string data;
};

struct AdifRecord {
    std::size_t number = 0; // from 1, in file order
    std::size_t offset = 0; // of the record's first tag in the file
    std::vector<AdifField> fields;

    // The data of the first field of this (upper-case) name, or null.
    const std::string* Find(std::string_view name) const;
};

struct AdifLog {
    std::vector<AdifField> header; // the fields of the header, if it has any
    std::vector<AdifRecord> records;
    // Things worth telling the user that do not stop the reading.
    std::vector<std::string> notes;
};

// A file that cannot be read as ADIF. The message names the record (or the
// header) and the byte offset where the reading stopped.
class AdifError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads a whole ADI file. Throws AdifError for a file that is not ADIF, a
// tag cut off by the end of the file, a tag without a usable data length,
// and data that run past the end of the file.
AdifLog ReadAdif(std::string_view bytes);

} // namespace stats::player
