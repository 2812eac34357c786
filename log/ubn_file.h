// The pass's file of refused QSOs, named after the own callsign.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "log/ole_date_time.h"
#include "log/qso_report.h"
#include "platform/file_system.h"

namespace stats {

// Why AddData0 refused a QSO; each text ends the rejection line.
constexpr std::string_view kReasonNoContestMode = " No contest mode \n";
constexpr std::string_view kReasonNoRxNumber = "No RX number\n";

// "YYYY-MM-DD HHMM", the date alone at exactly midnight, empty when the value
// names no date-time.
std::string RejectionDateTimeText(const COleDateTime& time);

// The file name: the callsign with "/" and backslash made "_", so that a
// portable call names a file here and never a folder, then "-ubn.txt".
std::string UbnFileName(std::string_view ownCall);

std::string UbnHeader(std::string_view ownCall);
std::string RejectionLine(const QsoReport& qso, std::string_view reason);

class UbnFile {
  public:
    UbnFile() = default;
    UbnFile(const UbnFile&) = delete;
    UbnFile& operator=(const UbnFile&) = delete;
    ~UbnFile() { Close(); }

    // Closes the previous pass's file and starts a new one with its header.
    // Without a file (it could not be created) lines are dropped.
    void Open(FileSystem& files, std::string_view ownCall);
    // Writes one line and flushes it, so it is on disk while the host runs.
    void WriteRejection(const QsoReport& qso, std::string_view reason);
    void Close();
    bool IsOpen() const { return stream_ != nullptr; }

  private:
    void Write(const std::string& text);
    std::FILE* stream_ = nullptr;
};

} // namespace stats
