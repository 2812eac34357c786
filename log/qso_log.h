// The module's copy of the contest log and its list of bands.
//
// Records stay in the order they were appended. Beside them the log keeps
// three indexes, so that no operation of a pass walks the whole log:
// records by content (the identical-record test), the order of records per
// callsign, mode and band (removal takes the first), and how many records per
// callsign and mode fall in each round (the round check).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "log/qso_record.h"

namespace stats {

class QsoLog {
  public:
    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    const QsoRecord& operator[](std::size_t i) const { return records_[i]; }
    std::vector<QsoRecord>::const_iterator begin() const { return records_.begin(); }
    std::vector<QsoRecord>::const_iterator end() const { return records_.end(); }

    // True when a record equal to this one in every field is stored.
    bool Contains(const QsoRecord& record) const;

    // Stores the record at the end. When memory runs out the log and its
    // indexes stay as they were.
    void Append(QsoRecord record);

    // Removes the earliest record with this call, mode and band; false when
    // there is none. When memory runs out nothing is removed.
    bool RemoveFirst(std::string_view call, std::string_view mode, std::string_view band);

    // True when a record with this call and mode falls in the given round.
    bool HasInRound(std::string_view call, std::string_view mode, std::int64_t round) const;

    void Clear();

    // Bytes held by the indexes, for the memory figures of the benchmarks.
    std::size_t IndexBytes() const;

  private:
    struct Slot {
        std::uint64_t seq;           // order of appending; positions shift, seqs do not
        std::uint64_t hash;          // HashQsoRecord of the record
        std::uint64_t nextSameEntry; // next seq with the same call, mode and band, or 0
    };
    struct Queue {
        std::uint64_t head;
        std::uint64_t tail;
    };

    std::size_t PositionOf(std::uint64_t seq) const;
    static std::string EntryKey(std::string_view call, std::string_view mode,
                                std::string_view band);
    static std::string RoundKey(std::string_view call, std::string_view mode, std::int64_t round);
    // Takes the record at `position` out of the hash and round indexes;
    // `roundKey` is its round's key, empty when it falls in no round.
    void Unindex(std::size_t position, const std::string& roundKey);

    std::vector<QsoRecord> records_;
    std::vector<Slot> slots_; // parallel to records_
    std::uint64_t nextSeq_ = 1;
    std::unordered_multimap<std::uint64_t, std::uint64_t> byHash_; // hash -> seq
    std::unordered_map<std::string, Queue> byEntry_;               // call, mode, band
    std::unordered_map<std::string, std::uint32_t> roundCounts_;   // call, mode, round
};

// The distinct band names in first-seen order, until the summary reorders them.
class BandList {
  public:
    std::size_t size() const { return names_.size(); }
    bool empty() const { return names_.empty(); }
    const std::string& operator[](std::size_t i) const { return names_[i]; }
    std::vector<std::string>::const_iterator begin() const { return names_.begin(); }
    std::vector<std::string>::const_iterator end() const { return names_.end(); }

    bool Contains(std::string_view band) const;
    // Appends the name unless it is listed already.
    void Enter(std::string_view band);
    void Clear();

    // Reordering in place; the set of names does not change.
    std::vector<std::string>& Names() { return names_; }

    std::size_t IndexBytes() const;

  private:
    std::vector<std::string> names_;
    std::unordered_set<std::string> known_;
};

} // namespace stats
