#include "log/qso_record.h"

#include <cstring>
#include <string_view>

namespace stats {

bool QsoRecord::operator==(const QsoRecord& other) const {
    return call == other.call && pairCall == other.pairCall && auxText == other.auxText &&
           band == other.band && mode == other.mode && rstRcvd == other.rstRcvd &&
           rstSent == other.rstSent && exchRcvd == other.exchRcvd && exchSent == other.exchSent &&
           region == other.region && freqKhz == other.freqKhz && time == other.time;
}

namespace {

// FNV-1a over the bytes, with a length separator so that field borders count.
class Fnv1a {
  public:
    void Add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            hash_ = (hash_ ^ bytes[i]) * 0x100000001b3ULL;
        }
    }
    void Add(const std::string& text) {
        const std::uint64_t size = text.size();
        Add(&size, sizeof size);
        Add(text.data(), text.size());
    }
    std::uint64_t Value() const { return hash_; }

  private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

} // namespace

std::uint64_t HashQsoRecord(const QsoRecord& record) {
    Fnv1a h;
    for (const std::string* field :
         {&record.call, &record.pairCall, &record.auxText, &record.band, &record.mode,
          &record.rstRcvd, &record.rstSent, &record.exchRcvd, &record.exchSent, &record.region}) {
        h.Add(*field);
    }
    h.Add(&record.freqKhz, sizeof record.freqKhz);
    // 0.0 and -0.0 compare equal, so they must hash alike.
    const double date = record.time.m_dt == 0.0 ? 0.0 : record.time.m_dt;
    h.Add(&date, sizeof date);
    h.Add(&record.time.m_status, sizeof record.time.m_status);
    return h.Value();
}

} // namespace stats
