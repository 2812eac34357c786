#include "log/ubn_file.h"

#include <cstdio>

namespace stats {

std::string RejectionDateTimeText(const COleDateTime& time) {
    CivilTime t;
    if (!ToCivilTime(time, t)) {
        return std::string();
    }
    char text[32];
    if (t.hour == 0 && t.minute == 0 && t.second == 0) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d%02d", t.year, t.month, t.day, t.hour,
                      t.minute);
    }
    return text;
}

std::string UbnFileName(std::string_view ownCall) {
    std::string name(ownCall);
    for (char& c : name) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    return name + "-ubn.txt";
}

std::string UbnHeader(std::string_view ownCall) {
    std::string header = "Kestrun TEST UBN file ";
    header.append(ownCall);
    header.append("\n\n");
    return header;
}

std::string RejectionLine(const QsoReport& qso, std::string_view reason) {
    const std::string sep = "  ";
    std::string line = "QSO: ";
    line += std::to_string(static_cast<int>(qso.freqHz / 1000));
    line += sep;
    line.append(qso.mode) += sep;
    line += RejectionDateTimeText(qso.qsoTime) + sep;
    line.append(qso.ownCall) += sep;
    line.append(qso.rstSent) += sep;
    line.append(qso.exchSent) += sep;
    line.append(qso.workedCall) += sep;
    line.append(qso.rstRcvd) += sep;
    line.append(qso.exchRcvd);
    line.append(reason);
    return line;
}

void UbnFile::Open(FileSystem& files, std::string_view ownCall) {
    Close();
    // Name and header are made before the file is, so that running out of
    // memory never leaves a file without its header.
    const std::string name = UbnFileName(ownCall);
    const std::string header = UbnHeader(ownCall);
    stream_ = files.Open(name, "w");
    Write(header);
}

void UbnFile::WriteRejection(const QsoReport& qso, std::string_view reason) {
    if (stream_ != nullptr) {
        Write(RejectionLine(qso, reason));
    }
}

void UbnFile::Write(const std::string& text) {
    if (stream_ != nullptr) {
        std::fwrite(text.data(), 1, text.size(), stream_);
        std::fflush(stream_);
    }
}

void UbnFile::Close() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
}

} // namespace stats
