#include "log/qso_log.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "log/round.h"

namespace stats {

std::string QsoLog::EntryKey(std::string_view call, std::string_view mode, std::string_view band) {
    // Texts come from C strings, so NUL never occurs inside them and can part the fields.
    std::string key;
    key.reserve(call.size() + mode.size() + band.size() + 2);
    key.append(call).push_back('\0');
    key.append(mode).push_back('\0');
    key.append(band);
    return key;
}

std::string QsoLog::RoundKey(std::string_view call, std::string_view mode, std::int64_t round) {
    std::string key;
    key.reserve(call.size() + mode.size() + 2 + sizeof round);
    key.append(call).push_back('\0');
    key.append(mode).push_back('\0');
    key.append(reinterpret_cast<const char*>(&round), sizeof round);
    return key;
}

std::size_t QsoLog::PositionOf(std::uint64_t seq) const {
    const auto it = std::lower_bound(slots_.begin(), slots_.end(), seq,
                                     [](const Slot& s, std::uint64_t v) { return s.seq < v; });
    return static_cast<std::size_t>(it - slots_.begin());
}

bool QsoLog::Contains(const QsoRecord& record) const {
    const auto range = byHash_.equal_range(HashQsoRecord(record));
    for (auto it = range.first; it != range.second; ++it) {
        if (records_[PositionOf(it->second)] == record) {
            return true;
        }
    }
    return false;
}

namespace {

// Room for one more element. The capacity doubles when it runs out: growing
// it by one would move the whole log at every append.
template <typename T> void ReserveOneMore(std::vector<T>& v) {
    if (v.size() == v.capacity()) {
        v.reserve(v.capacity() < 8 ? 8 : 2 * v.capacity());
    }
}

// Room for one more entry in a hash table, so that inserting it does not
// rehash. The bucket count doubles when it runs out: reserve(size() + 1) on
// its own grows it only to the next bucket count above the size, a few per
// cent at a time, and so rehashes every node far more often.
template <typename Table> void ReserveOneMoreEntry(Table& table) {
    if (static_cast<float>(table.size() + 1) >=
        table.max_load_factor() * static_cast<float>(table.bucket_count())) {
        table.reserve(2 * (table.size() + 1));
    }
}

// A node of a hash table of type Table, made on its own: it can then be put
// into the table without allocating. The node is made in a table kept for
// the purpose, which keeps its buckets once it has them, so that making a
// node allocates the node alone.
template <typename Table, typename... Args> typename Table::node_type MakeNode(Args&&... args) {
    static thread_local Table workbench;
    workbench.emplace(std::forward<Args>(args)...);
    return workbench.extract(workbench.begin());
}

} // namespace

void QsoLog::Append(QsoRecord record) {
    const std::uint64_t seq = nextSeq_;
    const std::uint64_t hash = HashQsoRecord(record);
    const std::int64_t round = RoundOf(record.time);

    // Everything that allocates comes first, so that running out of memory
    // leaves the log and its indexes as they were: room for one more entry in
    // each container, and the new index entries as nodes of their own.
    ReserveOneMore(records_);
    ReserveOneMore(slots_);
    ReserveOneMoreEntry(byHash_);
    ReserveOneMoreEntry(byEntry_);
    ReserveOneMoreEntry(roundCounts_);
    auto hashNode = MakeNode<decltype(byHash_)>(hash, seq);
    std::string entryKey = EntryKey(record.call, record.mode, record.band);
    const auto entry = byEntry_.find(entryKey);
    decltype(byEntry_)::node_type entryNode;
    if (entry == byEntry_.end()) {
        entryNode = MakeNode<decltype(byEntry_)>(std::move(entryKey), Queue{seq, seq});
    }
    auto roundCount = roundCounts_.end();
    decltype(roundCounts_)::node_type roundNode;
    if (round != kNoRound) {
        std::string roundKey = RoundKey(record.call, record.mode, round);
        roundCount = roundCounts_.find(roundKey);
        if (roundCount == roundCounts_.end()) {
            roundNode = MakeNode<decltype(roundCounts_)>(std::move(roundKey), 0u);
        }
    }

    // From here on nothing allocates: the tables have room, so inserting a
    // node does not rehash, and moving a record does not throw.
    ++nextSeq_;
    if (entryNode) {
        byEntry_.insert(std::move(entryNode));
    } else {
        slots_[PositionOf(entry->second.tail)].nextSameEntry = seq;
        entry->second.tail = seq;
    }
    byHash_.insert(std::move(hashNode));
    if (roundNode) {
        roundCount = roundCounts_.insert(std::move(roundNode)).position;
    }
    if (roundCount != roundCounts_.end()) {
        ++roundCount->second;
    }
    records_.push_back(std::move(record));
    slots_.push_back(Slot{seq, hash, 0});
}

void QsoLog::Unindex(std::size_t position, const std::string& roundKey) {
    const Slot& slot = slots_[position];
    const auto range = byHash_.equal_range(slot.hash);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == slot.seq) {
            byHash_.erase(it);
            break;
        }
    }
    if (!roundKey.empty()) {
        const auto it = roundCounts_.find(roundKey);
        if (it != roundCounts_.end() && --it->second == 0) {
            roundCounts_.erase(it);
        }
    }
}

bool QsoLog::RemoveFirst(std::string_view call, std::string_view mode, std::string_view band) {
    const auto entry = byEntry_.find(EntryKey(call, mode, band));
    if (entry == byEntry_.end()) {
        return false;
    }
    const std::size_t position = PositionOf(entry->second.head);
    // The round key is all that removal allocates; it is made before
    // anything changes.
    const QsoRecord& record = records_[position];
    const std::int64_t round = RoundOf(record.time);
    const std::string roundKey =
        round == kNoRound ? std::string() : RoundKey(record.call, record.mode, round);

    const std::uint64_t next = slots_[position].nextSameEntry;
    if (next == 0) {
        byEntry_.erase(entry);
    } else {
        entry->second.head = next;
    }
    Unindex(position, roundKey);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(position));
    slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(position));
    return true;
}

bool QsoLog::HasInRound(std::string_view call, std::string_view mode, std::int64_t round) const {
    return round != kNoRound && roundCounts_.count(RoundKey(call, mode, round)) != 0;
}

void QsoLog::Clear() {
    records_.clear();
    slots_.clear();
    byHash_.clear();
    byEntry_.clear();
    roundCounts_.clear();
}

namespace {

// Heap bytes of a string beyond its in-object buffer.
std::size_t HeapBytes(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() + 1 : 0;
}

// A rough figure of a node-based hash table: nodes, bucket array.
template <typename Table> std::size_t TableBytes(const Table& table, std::size_t nodeBytes) {
    return table.size() * (nodeBytes + sizeof(void*)) + table.bucket_count() * sizeof(void*);
}

} // namespace

std::size_t QsoLog::IndexBytes() const {
    std::size_t bytes = slots_.capacity() * sizeof(Slot);
    bytes += TableBytes(byHash_, sizeof(std::pair<std::uint64_t, std::uint64_t>) + sizeof(std::size_t));
    bytes += TableBytes(byEntry_, sizeof(std::pair<std::string, Queue>) + sizeof(std::size_t));
    bytes += TableBytes(roundCounts_, sizeof(std::pair<std::string, std::uint32_t>) + sizeof(std::size_t));
    for (const auto& e : byEntry_) {
        bytes += HeapBytes(e.first);
    }
    for (const auto& e : roundCounts_) {
        bytes += HeapBytes(e.first);
    }
    return bytes;
}

bool BandList::Contains(std::string_view band) const {
    return known_.count(std::string(band)) != 0;
}

void BandList::Enter(std::string_view band) {
    std::string name(band);
    if (known_.count(name) != 0) {
        return;
    }
    ReserveOneMore(names_);
    known_.insert(name);
    names_.push_back(std::move(name));
}

void BandList::Clear() {
    names_.clear();
    known_.clear();
}

std::size_t BandList::IndexBytes() const {
    std::size_t bytes = TableBytes(known_, sizeof(std::string) + sizeof(std::size_t));
    for (const auto& name : known_) {
        bytes += HeapBytes(name);
    }
    return bytes;
}

} // namespace stats
