#!/usr/bin/env python3
"""Writes the bundled sample log, samples/velmora-sample.adi: a made-up
Velmora session of UA3VLM on 18 February 2024, eight rounds from 09:00 to
11:59 UTC on 160m, 80m and 40m in CW, SSB and PSK63, with home-country
stations of many regions, foreign stations, and a few QSOs that Stats.dll
refuses (RTTY, a missing exchange, a callsign that gives no region).

The log is the same at every run (the random choices are seeded).

    tools/gen-sample-log.py samples/velmora-sample.adi
    tools/gen-sample-log.py --summary        # the summary the log must score

--summary prints the score summary worked out here, from the QSOs as they are
generated and the contest's rules, without the module: a check on the
expected output in samples/expected/, which tools/player/play-sample.sh
--update rewrites from a run of the module.
"""

import argparse
import random
import sys

OWN_CALL = "UA3VLM"
DATE = "20240218"
FIRST_HOUR = 9
ROUNDS = 8  # 09:00-09:19, 09:20-09:39, ... 11:40-11:58

# Region keys (digit and letter after the prefix) with the region they give.
HOME_KEYS = {
    "1A": "SP", "1C": "LO", "1O": "AR", "1Q": "VO", "1Z": "MU", "1T": "NV",
    "1W": "PS", "1N": "KL", "2F": "KA", "3A": "MA", "3D": "MO", "3V": "VL",
    "3Q": "VR", "3U": "IV", "3X": "KG", "3N": "KS", "3W": "KU", "3G": "LP",
    "3E": "OR", "3S": "RA", "3L": "SM", "3R": "TB", "3I": "TV", "3P": "TL",
    "3M": "JA", "3T": "NN", "6A": "KR", "6L": "RO", "6H": "ST", "6Y": "AD",
    "6W": "DA", "4A": "VG", "4C": "SA", "4H": "SR", "4L": "UL", "4W": "UD",
    "4P": "TA", "4F": "PE", "9A": "CB", "9C": "SV", "9F": "PM", "9L": "TN",
    "9U": "KE", "9O": "NS", "9Y": "AL", "9H": "TO", "9M": "OM", "8T": "OB",
    "0A": "KK", "0S": "IR", "0Q": "YA", "0L": "PK", "0C": "HK", "0F": "SL",
}
PREFIXES = ["R", "RA", "RK", "RN", "RU", "RW", "RZ", "UA", "RV", "RX", "UB", "UI"]
# Home-country callsigns whose key is in no row of the region table.
NO_REGION = [("RA3JAA", 54), ("UA1EAA", 54), ("R9VAB", 15)]
FOREIGN = [  # callsign, DXCC entity
    ("DL1ABC", 230), ("OK1AB", 503), ("SP5XYZ", 269), ("YL2AB", 145), ("LY1A", 146),
    ("ES5AB", 52), ("OH2AB", 224), ("EW1AB", 27), ("UN7AB", 130), ("4X1AB", 336),
    ("HA5AB", 239), ("YO3AB", 275),
]
NAMES = ["Иван", "Сергей", "Ольга", "Николай", "Андрей", "Татьяна", "Юрий", "Алексей"]

SEGMENTS = {  # band, mode: frequency range in kHz
    ("160m", "CW"): (1810, 1838), ("160m", "SSB"): (1850, 1950),
    ("80m", "CW"): (3510, 3580), ("80m", "SSB"): (3610, 3750), ("80m", "BPSK63"): (3580, 3586),
    ("40m", "CW"): (7010, 7035), ("40m", "SSB"): (7070, 7150), ("40m", "BPSK63"): (7036, 7042),
}
# Per round: (band, mode, QSOs) in the order worked.
ROUND_PLAN = [
    ("80m", "CW", 12), ("80m", "SSB", 10), ("40m", "CW", 6), ("160m", "CW", 5),
    ("40m", "BPSK63", 2), ("160m", "SSB", 2), ("80m", "BPSK63", 2), ("40m", "SSB", 2),
]


class Station:
    def __init__(self, call, dxcc, region, home, name=""):
        self.call = call
        self.dxcc = dxcc
        self.region = region
        self.home = home
        self.name = name
        self.serial = 0


def dxcc_of_home(key):
    if key in ("2F", "2K"):
        return 126
    return 15 if key[0] in "890" else 54


def make_stations(rng):
    stations = []
    calls = set()
    for key, region in HOME_KEYS.items():
        for _ in range(rng.choice([1, 1, 2])):
            while True:
                prefix = rng.choice(PREFIXES)
                letters = "".join(rng.choice("ABCDEFGHIKLMNOPRSTUVWXYZ")
                                  for _ in range(rng.choice([1, 2])))
                call = prefix + key + letters
                if call not in calls:
                    break
            calls.add(call)
            stations.append(Station(call, dxcc_of_home(key), region, True,
                                    rng.choice(NAMES) if rng.random() < 0.4 else ""))
    for call, dxcc in FOREIGN:
        stations.append(Station(call, dxcc, "", False))
    for station in stations:
        station.serial = rng.randint(1, 40)
    return stations


def field(name, value):
    data = value.encode("cp1251") if isinstance(value, str) else value
    return b"<%s:%d>" % (name.encode("ascii"), len(data)) + data


class Qso:
    """One QSO as logged, and what the module makes of it."""

    def __init__(self, **fields):
        self.__dict__.update(fields)

    def accepted(self):
        if self.mode not in ("CW", "SSB", "BPSK63"):
            return False
        if not self.stx or not self.srx:
            return False
        return not self.home or self.region != ""


def generate():
    rng = random.Random(2024)
    stations = make_stations(rng)
    qsos = []
    serial = 0

    def log(station, band, mode, when, srx=True, stx=True, freq_hz=None):
        nonlocal serial
        serial += 1
        station.serial += rng.randint(1, 12)
        if freq_hz is None:
            low, high = SEGMENTS[(band, mode)]
            freq_hz = rng.randint(low * 10, high * 10) * 100
        phone = mode == "SSB"
        qsos.append(Qso(
            call=station.call, dxcc=station.dxcc, home=station.home,
            region=station.region, name=station.name,
            band=band, mode=mode, when=when, freq_hz=freq_hz,
            rst_sent="59" if phone else "599",
            rst_rcvd=("57" if phone else "579") if rng.random() < 0.15 else ("59" if phone else "599"),
            stx="%05d" % serial if stx else "", srx="%05d" % station.serial if srx else ""))

    # The refusals, by round: RTTY, an exchange missing, a callsign without region.
    refusals = {
        1: [("RTTY", "80m")],
        2: [("no-rx", "40m")],
        3: [("no-region", "80m"), ("RTTY", "80m")],
        4: [("no-region", "160m")],
        5: [("no-tx", "80m"), ("RTTY", "40m")],
        6: [("no-region", "40m"), ("no-rx", "80m")],
    }
    no_region = iter(NO_REGION)
    for r in range(ROUNDS):
        start = FIRST_HOUR * 3600 + r * 20 * 60
        work = [(band, mode) for band, mode, n in ROUND_PLAN for _ in range(n)]
        for kind, band in refusals.get(r, []):
            work.insert(rng.randint(0, len(work)), (band, kind))
        # Seconds within the round: minutes 0 to 18 of its twenty.
        moments = sorted(rng.sample(range(0, 19 * 60), len(work)))
        worked = set()  # (call, mode): once per round
        for (band, mode), moment in zip(work, moments):
            when = start + moment
            if mode == "RTTY":
                low, high = {"80m": (35800, 35850), "40m": (70400, 70450)}[band]
                log(rng.choice(stations), band, "RTTY", when, freq_hz=rng.randint(low, high) * 100)
            elif mode == "no-region":
                call, dxcc = next(no_region)
                log(Station(call, dxcc, "", True), band, "CW", when)
            elif mode in ("no-rx", "no-tx"):
                station = rng.choice([s for s in stations if s.home])
                log(station, band, "CW", when, srx=mode != "no-rx", stx=mode != "no-tx")
            else:
                pool = [s for s in stations if (s.call, mode) not in worked]
                # Foreign stations call in less often, and rarely on 160m.
                weights = [1.0 if s.home else (0.15 if band == "160m" else 0.5) for s in pool]
                station = rng.choices(pool, weights)[0]
                worked.add((station.call, mode))
                log(station, band, mode, when)
    qsos.sort(key=lambda q: q.when)
    return qsos


def write_log(qsos, path):
    rng = random.Random(7)
    out = bytearray()
    out += ("Velmora championship 2024, %s: a made-up session for trying Stats.dll\r\n"
            % OWN_CALL).encode("ascii")
    out += field("ADIF_VER", "3.1.4") + b" " + field("PROGRAMID", "gen-sample-log")
    out += b" " + field("CREATED_TIMESTAMP", "20240218 120500") + b"\r\n<EOH>\r\n\r\n"
    for q in qsos:
        hh, mm, ss = q.when // 3600, q.when // 60 % 60, q.when % 60
        time_on = "%02d%02d%02d" % (hh, mm, ss) if rng.random() < 0.8 else "%02d%02d" % (hh, mm)
        # Most frequencies in 100 Hz steps, a few to a tenth of a Hz as some
        # rigs report them.
        mhz = "%d.%06d" % (q.freq_hz // 1000000, q.freq_hz % 1000000)
        if rng.random() < 0.1:
            mhz = "%d.%07d" % (q.freq_hz // 1000000, (q.freq_hz % 1000000) * 10 + rng.randint(0, 9))
        else:
            mhz = mhz.rstrip("0").rstrip(".")
        parts = [field("CALL", q.call), field("QSO_DATE", DATE), field("TIME_ON", time_on),
                 field("BAND", q.band), field("FREQ", mhz)]
        if q.mode == "SSB":
            parts += [field("MODE", "SSB"), field("SUBMODE", "LSB")]
        elif q.mode == "BPSK63":
            parts += [field("MODE", "PSK"), field("SUBMODE", "PSK63")]
        else:
            parts += [field("MODE", q.mode)]
        parts += [field("RST_SENT", q.rst_sent), field("RST_RCVD", q.rst_rcvd)]
        if q.stx:
            parts.append(field("STX_STRING", q.stx))
        if q.srx:
            parts.append(field("SRX_STRING", q.srx))
        # Some loggers leave DXCC out; the player then goes by the callsign.
        if rng.random() < 0.85:
            parts.append(field("DXCC", str(q.dxcc)))
        if q.name:
            parts.append(field("NAME", q.name))
        parts += [field("STATION_CALLSIGN", OWN_CALL), field("OPERATOR", OWN_CALL)]
        out += b" ".join(parts) + b" <EOR>\r\n"
    with open(path, "wb") as f:
        f.write(out)


def summary(qsos):
    """The score as the contest's rules give it: 1 point a QSO (2 on 160m),
    3 for each region and 5 for each station and mode, once per band."""
    stored = [q for q in qsos if q.accepted()]
    lines = ["\tVelmora", "\tQSOs\tPoints\tCW\tSSB"]
    total = [0, 0, 0]
    for band in ("160m", "80m", "40m"):
        on_band = [q for q in stored if q.band == band]
        regions = {q.region for q in on_band if q.region}
        pairs = {(q.call, q.mode) for q in on_band}
        points = 3 * len(regions) + (2 if band == "160m" else 1) * len(on_band) + 5 * len(pairs)
        cw = sum(q.mode == "CW" for q in on_band)
        ssb = sum(q.mode == "SSB" for q in on_band)
        lines.append("%s\t %d\t %d\t %d\t %d" % (band, len(on_band), points, cw, ssb))
        total = [total[0] + points, total[1] + cw, total[2] + ssb]
    lines.append("Total\t %d\t %d\t %d\t %d" % (len(stored), *total))
    lines.append("Score\t %d" % total[0])
    lines.append("QSOs stored: %d, refused: %d" % (len(stored), len(qsos) - len(stored)))
    return "".join(line + "\r\n" for line in lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("log", nargs="?", help="the .adi file to write")
    parser.add_argument("--summary", action="store_true",
                        help="print the summary and counts the log must give")
    args = parser.parse_args()
    qsos = generate()
    if args.log:
        write_log(qsos, args.log)
    if args.summary:
        sys.stdout.buffer.write(summary(qsos).encode("ascii"))
    if not args.log and not args.summary:
        parser.error("give the log to write, or --summary")


if __name__ == "__main__":
    main()
