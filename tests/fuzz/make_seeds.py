#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/.

Each seed spells out, byte by byte, a call sequence in the encoding that
export_sequence_fuzzer.cpp and text_functions_fuzzer.cpp decode, so that the
fuzzer starts from sequences that reach every export's deeper steps: passes
with and without report mode, accepted and refused QSOs, repeats in the
round, removals, reports with failing files, reloads and allocation failures.
Run it again after changing the decoding; the fuzzer's own finds stay as they
are.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# ---- export_sequence: the decoding of the harness, piece by piece ----------

# Word indexes of each role (the harness's Words()).
CALL = {"RA3ABC": 0, "UA3ABC": 1, "R3ABC": 2, "RZ9UA": 3, "UA9VAA": 4, "UA1EAA": 5,
        "UA2FAA": 6, "R9AB": 7, "DL1ABC": 8, "UA0AAA": 9, "R3A": 10, "ua3abc": 12,
        "RA3ABC/9": 14, "": 15, "RA3JAA": 17, "RA3ABD": 19, "UA3AAA/P": 21}
MODE = {"CW": 0, "SSB": 1, "BPSK63": 2, "BPSK62": 3, "cw": 7, "CW ": 8, "RTTY": 9, "": 10}
EXCH = {"00101": 0, "00202": 1, "599": 2, "12345": 3, "1": 4, "": None}
REPORT = {"599": 0, "59": 1, "579": 2, "5NN": 3, "": 4}
PREFIX = {"UA": 0, "UA2": 1, "UA9": 2, "UA0": 3, "DL": 6, "": 7}
BAND = {"160m": 0, "80m": 1, "40m": 2, "20m": 3, "15m": 4, "10m": 5, "0160m": 6, "160M": 7,
        "": 11, "20 bytes": 12, "21 bytes": 13}
OWN = {"UA3AAA": 0, "UA3AAA/P": 1, "R3A\\B": 2, " UA3AAA ": 3, "": 4, "..": 5}
ANY = {"<CR>": 0, "<LF>": 1, "crlf": 2, "two lines": 3, "a<CR>b": 6}


def word(index):
    return bytes([2, index])


def text(table, value):
    if value == "" and table.get(value) is None:
        return bytes([1])
    return word(table[value])


NULL = bytes([0])
EMPTY = bytes([1])


def raw(data):
    return bytes([12, len(data)]) + data


def long_text(fill=ord("W")):
    return bytes([15, 0, fill, 0])


def recent(index):
    return bytes([10, index])


def near(minutes, second=0):
    return bytes([3, (minutes * 4) & 0xFF, second])


def special_time(index, status=0):
    return bytes([2, index, status])


def u16(value):
    return struct.pack("<H", value)


def u32(value):
    return struct.pack("<I", value)


def frequency(hz):
    return bytes([0]) + u32(hz)


JUNK = bytes([0]) + bytes(16)


def qso(call="RA3ABC", mode="CW", band="80m", minutes=0, prefix="UA", own="UA3AAA",
        exch_sent="00101", exch_rcvd="00202", hz=3550000, time=None, aux=None):
    data = text(OWN, own) + text(CALL, call)
    data += time if time is not None else near(minutes)
    data += frequency(hz)
    data += text(MODE, mode) + text(REPORT, "599") + text(REPORT, "579")
    data += text(EXCH, exch_sent) + text(EXCH, exch_rcvd)
    data += text(PREFIX, prefix)
    data += bytes([1]) + aux if aux is not None else bytes([0])
    data += text(BAND, band)
    return data


def reset(report_mode=0, own="UA3AAA", answer=2, edits=()):
    data = bytes([0]) + EMPTY
    data += bytes([report_mode]) if report_mode in (0, 1) else bytes([2]) + u32(report_mode)
    data += text(OWN, own) + JUNK + bytes([answer])
    if answer == 3:
        fields = dict(edits)
        for field in range(10):
            if field in fields:
                data += bytes([1]) + fields[field]
            else:
                data += bytes([0])
    return data


def add(**kw):
    return bytes([1]) + qso(**kw) + JUNK


def burst(count, variation, **kw):
    return bytes([3]) + qso(**kw) + u16(count) + bytes([variation]) + JUNK * count


def add_stored_again(index, change=10):
    # change 0-8: one text field replaced; 9: the time; 10: nothing
    return bytes([4, index, 0, change]) + (EMPTY if change < 9 else near(1) if change == 9 else b"") + JUNK


def remove(**kw):
    return bytes([5]) + qso(**kw) + JUNK


def remove_stored(index):
    return bytes([6, index, 0]) + near(0) + JUNK


def check(call, mode, buffers=2):
    return bytes([7]) + text(CALL, call) + text(MODE, mode) + JUNK + bytes([buffers])


def check_stored(index, buffers=2):
    return bytes([8, index]) + JUNK + bytes([buffers])


def result(pointer=1):
    return bytes([9, pointer])


def small(exchange="00101", index=0, last=0, setup=True):
    return (bytes([10]) + text(EXCH, exchange) + EMPTY + bytes([0, index + 1]) +
            bytes([last]) + u32(5) + bytes([1 if setup else 0]))


RELOAD = bytes([11])


def clock(year, month, day, hour, minute):
    return bytes([12, 0, year - 1990, month - 1, day - 1, hour, minute, 0])


def file_fault(kind, data=b""):
    out = bytes([13, kind])
    if kind == 2:
        out += bytes([len(data)]) + data
    elif kind == 5:
        out += bytes([1])
    return out


def setting(key, value):
    return bytes([14, key]) + value


def fail_allocation(countdown, persistent=False):
    return bytes([15, 0, countdown, 1 if persistent else 0])


SEEDS = {
    "pass": reset() + add() + add(call="UA9VAA", prefix="UA9") + add(mode="RTTY") +
            add(exch_rcvd="") + add() + check_stored(0) + result() + small() + small("599", 1),
    "report-confirmed": reset(1, answer=3, edits=[(9, word(ANY["two lines"])), (8, word(ANY["<CR>"]))]) +
                        add() + add(call="RZ9UA", prefix="UA9", band="160m", minutes=3) +
                        add(call="DL1ABC", prefix="DL", mode="SSB", band="20m") +
                        result() + add(call="UA2FAA", prefix="UA2", mode="BPSK62") + result(),
    "report-cancelled": setting(2, raw(b"Street<CR><LF>Town")) + reset(1, answer=0) + add() +
                        result() + reset(1, "UA3AAA/P", answer=1) + add(band="40m") + result(),
    "removals": reset() + add() + add(band="40m") + add(minutes=5) + add(call="R3ABC") +
                remove(exch_rcvd="") + remove() + remove_stored(1) + remove_stored(0) +
                check("RA3ABC", "CW") + result(),
    "round": reset() + add(minutes=-10) + add(minutes=2) + clock(2012, 9, 12, 10, 59) +
             check("RA3ABC", "CW") + clock(2012, 9, 12, 10, 15) + check("RA3ABC", "CW") +
             check("RA3ABC", "SSB") + check_stored(1, buffers=0) + check("ua3abc", "CW"),
    "long-run": reset() + burst(250, 0) + burst(200, 1, call="UA3ABC") + burst(60, 2) +
                burst(20, 3) + result() + check_stored(7) + remove_stored(3) + result(),
    "bands": reset() + add(band="80m") + add(band="160m") + add(band="0160m") +
             add(band="20 bytes") + add(band="21 bytes") + add(band="") + add(band="160M") +
             result() + add(band="10m") + result(),
    "odd-values": reset(7, own="..") + add(time=NULL) + add(time=special_time(0)) +
                  add(time=special_time(0)) + add(time=special_time(2, 200)) +
                  add(time=bytes([1]) + bytes(8) + u32(0xFFFFFFFF)) + add(hz=999) +
                  add(hz=0xFFFFFFFF) + add(call="", prefix="DL") + add(own="", mode="") +
                  result(0) + small("", 1, 1),
    "long-texts": reset(1, answer=2) + bytes([1]) + text(OWN, "UA3AAA") + long_text() + near(0) +
                  frequency(14000000) + text(MODE, "CW") + long_text(ord("5")) + EMPTY +
                  long_text(ord("1")) + long_text(ord("2")) + text(PREFIX, "DL") + bytes([0]) +
                  long_text(ord("m")) + JUNK + check_stored(0) + result(),
    "files": reset(1, answer=2) + add() + file_fault(2, b"X-CABRILLO: 1\r\nno line end") +
             result() + file_fault(1) + add(call="R3A") + result() + file_fault(1) +
             file_fault(5) + result() + file_fault(5) + file_fault(4) + result() +
             file_fault(0) + result() + reset(0, "UA3AAA/P") + add(mode="RTTY"),
    "reload": reset(1, answer=2) + add() + result() + RELOAD + add() + add(mode="RTTY") +
              check("RA3ABC", "CW") + result() + reset() + RELOAD + add(mode="cw"),
    "report-out-of-memory": reset(1, answer=2) + add() + add(call="R3ABC", band="40m") +
                            add(mode="SSB", minutes=4) + result() + fail_allocation(30) +
                            result() + fail_allocation(60) + result() + fail_allocation(90) +
                            result() + fail_allocation(120) + result() +
                            fail_allocation(10, True) + result() + fail_allocation(40) +
                            reset(1, "UA3AAA/P", answer=3, edits=[(9, word(ANY["two lines"]))]) +
                            fail_allocation(2) + reset(0, "R3A\\B") + add(mode="RTTY"),
    "out-of-memory": reset() + add() + fail_allocation(3) + add(band="40m") +
                     fail_allocation(0) + remove() + fail_allocation(1) + check_stored(0) +
                     fail_allocation(20) + result() + fail_allocation(5, True) +
                     reset(1, answer=2) + fail_allocation(2) + add(mode="RTTY") +
                     fail_allocation(0) + small() + add() + result(),
}

# ---- text_functions: one step per byte of choice -----------------------------


def raw_parts(data):
    """Raw bytes as pieces of at most six bytes."""
    return [bytes([0, len(data[i:i + 6])]) + data[i:i + 6] for i in range(0, len(data), 6)]


def known(index):
    return [bytes([1, index])]


def pieces(*groups):
    parts = [part for group in groups for part in group]
    assert len(parts) < 8
    return bytes([len(parts)]) + b"".join(parts)


TEXT_SEEDS = {
    "regions": b"".join(bytes([0]) + pieces(raw_parts(call)) + pieces(raw_parts(prefix))
                        for call, prefix in [(b"UA3ABC", b"UA"), (b"R9AB", b"UA9"),
                                             (b"Uz3ABC", b"UA2"), (b"R3", b"ua")]),
    "replace": bytes([1]) + pieces(raw_parts(b"a<CR>b<CR>"), known(0)) + pieces(known(0)) +
               pieces(known(2)),
    "line-breaks": bytes([2]) + pieces(raw_parts(b"Street 1\r\nTown\n"), known(0)),
    "file-names": bytes([3]) + pieces(known(8), raw_parts(b"UA3AAA/P"), known(7)),
    "date-times": b"".join(bytes([4]) + struct.pack("<d", d) + bytes([0, 0]) for d in
                           [41164.5, -1.25, 0.0, 2958465.99999999, float("nan")]),
    "qso-line": bytes([5, 6]) + b"UA3AAA" + bytes([6]) + b"RA3ABC" + bytes([3]) + b"599" +
                bytes([5]) + b"00101" + bytes([3]) + b"579" + bytes([5]) + b"00202" +
                bytes([2]) + b"CW" + u32(3550) + u32(123456) + bytes([7, 1]),
    "bands": bytes([6, 5]) + b"".join(bytes([0, len(b)]) + b for b in
                                      [b"80m", b"160m", b"0160m", b"12345678901234567890", b"2m"]),
    "warning": bytes([7, 0, 200, 0]) + b"W" * 200,
}


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, "seed-" + name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write("export_sequence", SEEDS)
    write("text_functions", TEXT_SEEDS)
