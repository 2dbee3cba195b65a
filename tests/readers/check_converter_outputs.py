#!/usr/bin/env python3
"""The converter's outputs read by readers that share none of its code.

For every recording in the folder given (*.log, *.qbl) its outputs beside it
are read: the KML by xml.etree and by GDAL's ogrinfo (as many features as
placemarks, at the same points), the GGA file by gpsbabel (the same fixes:
count, times, positions within 2e-6 degrees), the map CSV and every
spreadsheet part by the csv module (three fields per map CSV row, as many
fields per spreadsheet row as its header names). The fixes must also be the
recording's own: one placemark, GGA sentence and map CSV row per distinct
GGA/RMC fix time of a log, or per distinct valid fix of the ground truth
beside a simulated recording (NAME.truth.csv), the placemarks and sentences
within 1e-6 degrees of where the recording put each fix.

usage: check_converter_outputs.py FOLDER
"""
import csv
import functools
import glob
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

GPSBABEL_TOLERANCE_DEG = 2e-6
TRUTH_TOLERANCE_DEG = 1e-6  # outputs against the recording's own fixes
POINT_TOLERANCE_DEG = 1e-8
GGA_DATE = "20240101"  # GGA carries no date; gpsbabel needs one

problems = []


def fail(recording, text):
    problems.append("%s: %s" % (os.path.basename(recording), text))


def nmea_checksum_ok(line):
    if not line.startswith("$") or "*" not in line:
        return False
    body, checksum = line[1:].rsplit("*", 1)
    value = functools.reduce(lambda a, c: a ^ ord(c), body, 0)
    return checksum.strip().upper() == "%02X" % value


def nmea_angle(value, hemisphere):
    v = float(value)
    whole = int(v / 100)
    degrees = whole + (v - whole * 100) / 60.0
    return -degrees if hemisphere in ("S", "W") else degrees


def seconds_of_day(text):
    """'hhmmss.ss' or 'hh:mm:ss.sss' -> seconds."""
    text = text.replace(":", "")
    return int(text[0:2]) * 3600 + int(text[2:4]) * 60 + float(text[4:])


# ---- What the recording holds -------------------------------------------------------

def log_fixes(path):
    """A log's valid GGA and RMC sentences, one entry per distinct consecutive
    fix time: (time, [(lat, lon) as each sentence of that time states it])."""
    epochs = []
    with open(path, "rb") as f:
        for raw in f.read().split(b"\n"):
            line = raw.rstrip(b"\r").decode("ascii", "replace")
            if not re.match(r"^\$[A-Z]{2}(GGA|RMC),", line) or not nmea_checksum_ok(line):
                continue
            fields = line.split("*")[0].split(",")
            first = 2 if line[3:6] == "GGA" else 3
            if line[3:6] == "GGA":
                valid = len(fields) > 6 and fields[6] not in ("", "0")
            else:
                valid = len(fields) > 6 and fields[2] == "A"
            if not valid or not fields[1] or not fields[first] or not fields[first + 2]:
                continue
            stated = (nmea_angle(fields[first], fields[first + 1]), nmea_angle(fields[first + 2], fields[first + 3]))
            if not epochs or epochs[-1][0] != fields[1]:
                epochs.append((fields[1], []))
            epochs[-1][1].append(stated)
    return epochs


def truth_fixes(path):
    """(week, tow, lat, lon) of every distinct valid fix of a ground truth."""
    fixes = []
    with open(path, newline="") as f:
        for row in csv.reader(f):
            try:
                week, tow, lat, lon = int(row[0]), float(row[1]), float(row[2]), float(row[3])
            except (ValueError, IndexError):
                continue  # the header, or a comment
            if not fixes or fixes[-1][:2] != (week, tow):
                fixes.append((week, tow, lat, lon))
    return fixes


# ---- The outputs ---------------------------------------------------------------------

def read_kml(recording, path):
    """Coordinates (lon, lat[, alt]) of every placemark, read by xml.etree."""
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as e:
        fail(recording, "the KML does not parse: %s" % e)
        return None
    points = []
    for element in root.iter():
        if element.tag.endswith("}Placemark") or element.tag == "Placemark":
            coordinates = [c for c in element.iter() if c.tag.endswith("coordinates")]
            if len(coordinates) != 1:
                fail(recording, "a placemark without one <coordinates>")
                return None
            tuple_ = coordinates[0].text.strip().split(",")
            if len(tuple_) not in (2, 3):
                fail(recording, "coordinates not one lon,lat[,alt] tuple: %r" % coordinates[0].text)
                return None
            points.append(tuple(float(v) for v in tuple_))
    return points


def check_kml_with_gdal(recording, path, points):
    summary = subprocess.run(["ogrinfo", "-ro", "-al", "-so", path], capture_output=True, text=True)
    counts = re.findall(r"^Feature Count: (\d+)$", summary.stdout, re.M)
    if summary.returncode != 0 or counts != [str(len(points))]:
        fail(recording, "ogrinfo reports %s features, the KML holds %d placemarks%s"
             % (counts, len(points), (": " + summary.stderr.strip()) if summary.stderr.strip() else ""))
        return
    full = subprocess.run(["ogrinfo", "-ro", "-al", path], capture_output=True, text=True)
    gdal_points = [tuple(float(v) for v in m.split())
                   for m in re.findall(r"POINT(?: Z)? \(([^)]*)\)", full.stdout)]
    if len(gdal_points) != len(points):
        fail(recording, "ogrinfo reads %d points, the KML holds %d" % (len(gdal_points), len(points)))
        return
    for i, (a, b) in enumerate(zip(gdal_points, points)):
        if any(abs(x - y) > POINT_TOLERANCE_DEG for x, y in zip(a[:2], b[:2])):
            fail(recording, "placemark %d: ogrinfo reads %s, the KML says %s" % (i + 1, a, b))
            return


def read_gga(recording, path):
    """(seconds of day, lat, lon) of every sentence, each with a valid checksum."""
    fixes = []
    with open(path, newline="") as f:
        text = f.read()
    if text and not text.endswith("\r\n"):
        fail(recording, "the GGA file does not end with CR LF")
    for line in text.split("\r\n"):
        if not line:
            continue
        fields = line.split("*")[0].split(",")
        if not nmea_checksum_ok(line) or fields[0] != "$GPGGA" or len(fields) != 15:
            fail(recording, "not a GGA sentence with a valid checksum: %r" % line)
            return None
        fixes.append((seconds_of_day(fields[1]), nmea_angle(fields[2], fields[3]), nmea_angle(fields[4], fields[5])))
    return fixes


def check_gga_with_gpsbabel(recording, path, fixes):
    with tempfile.NamedTemporaryFile(suffix=".csv") as out:
        run = subprocess.run(["gpsbabel", "-t", "-i", "nmea,date=" + GGA_DATE, "-f", path,
                              "-o", "unicsv", "-F", out.name], capture_output=True, text=True)
        if run.returncode != 0:
            fail(recording, "gpsbabel refused the GGA file: %s" % run.stderr.strip())
            return
        with open(out.name, newline="") as f:
            rows = list(csv.DictReader(f))
    if len(rows) != len(fixes):
        fail(recording, "gpsbabel reads %d fixes, the GGA file holds %d" % (len(rows), len(fixes)))
        return
    for i, (row, fix) in enumerate(zip(rows, fixes)):
        t = seconds_of_day(row["Time"])
        lat, lon = float(row["Latitude"]), float(row["Longitude"])
        if abs(t - fix[0]) > 1e-3 or abs(lat - fix[1]) > GPSBABEL_TOLERANCE_DEG or \
                abs(lon - fix[2]) > GPSBABEL_TOLERANCE_DEG:
            fail(recording, "GGA %d: gpsbabel reads %s %.7f %.7f, the sentence says %.3f %.7f %.7f"
                 % (i + 1, row["Time"], lat, lon, fix[0], fix[1], fix[2]))
            return


def read_map_csv(recording, path):
    with open(path, newline="") as f:
        rows = list(csv.reader(f, skipinitialspace=True))
    if not rows or rows[0] != ["Longitude", "Latitude", "Name"]:
        fail(recording, "the map CSV does not start with its header")
        return None
    for i, row in enumerate(rows):
        if len(row) != 3:
            fail(recording, "map CSV row %d has %d fields" % (i + 1, len(row)))
            return None
    return rows[1:]


def check_spreadsheet(recording, path):
    with open(path, newline="") as f:
        rows = [r for r in csv.reader(f, delimiter="\t") if r]
    if not rows:
        return 0
    width = len(rows[0])
    if rows[0][0] != "Index" or width not in (41, 84):
        fail(recording, "%s: not a spreadsheet header: %r" % (os.path.basename(path), rows[0][:3]))
        return 0
    for i, row in enumerate(rows[1:]):
        if len(row) != width:
            fail(recording, "%s row %d has %d fields, its header %d"
                 % (os.path.basename(path), i + 1, len(row), width))
            return 0
    return len(rows) - 1


# ---- One recording --------------------------------------------------------------------

def check_recording(recording):
    base = os.path.splitext(recording)[0]
    outputs = {"kml": base + ".kml", "gga": base + "_nmea.txt", "csv": base + ".csv"}
    for kind, path in outputs.items():
        if not os.path.exists(path):
            fail(recording, "no %s output (%s)" % (kind, os.path.basename(path)))
            return
    leftovers = glob.glob(glob.escape(base) + "*.part")
    if leftovers:
        fail(recording, "temporaries left: %s" % leftovers)

    points = read_kml(recording, outputs["kml"])
    if points is not None:
        check_kml_with_gdal(recording, outputs["kml"], points)
    fixes = read_gga(recording, outputs["gga"])
    if fixes is not None:
        check_gga_with_gpsbabel(recording, outputs["gga"], fixes)
    rows = read_map_csv(recording, outputs["csv"])
    sheets = sorted(glob.glob(glob.escape(base) + ".xlx") + glob.glob(glob.escape(base) + "_[0-9][0-9][0-9].xlx"))
    sheet_rows = sum(check_spreadsheet(recording, s) for s in sheets)
    if points is None or fixes is None or rows is None:
        return

    truth_path = base + ".truth.csv"
    if os.path.exists(truth_path):
        expected = [(fix[1], [(fix[2], fix[3])]) for fix in truth_fixes(truth_path)]
        source = "distinct valid fixes of the truth"
    elif recording.endswith(".log"):
        expected = log_fixes(recording)
        source = "distinct fix times in the log"
    else:
        expected = [(None, [(p[1], p[0])]) for p in points]
        source = "placemarks"
    # Each placemark and GGA sentence where the recording put its fix.
    for what, places in (("placemark", [(p[1], p[0]) for p in points]), ("GGA", [(f[1], f[2]) for f in fixes])):
        for i, (place, (time, stated)) in enumerate(zip(places, expected)):
            if not any(abs(place[0] - lat) <= TRUTH_TOLERANCE_DEG and abs(place[1] - lon) <= TRUTH_TOLERANCE_DEG
                       for lat, lon in stated):
                fail(recording, "%s %d at %.8f,%.8f, the recording's fix %d (%s) at %s"
                     % (what, i + 1, place[0], place[1], i + 1, time, stated))
                break
    counts = {"placemarks": len(points), "GGA sentences": len(fixes), "map CSV rows": len(rows)}
    for what, count in counts.items():
        if count != len(expected):
            fail(recording, "%d %s, %d %s" % (count, what, len(expected), source))
    print("%s: %d fixes; KML, GGA, map CSV and %d spreadsheet part(s) with %d rows read back"
          % (os.path.basename(recording), len(expected), len(sheets), sheet_rows))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    recordings = sorted(glob.glob(os.path.join(sys.argv[1], "*.log")) +
                        glob.glob(os.path.join(sys.argv[1], "*.qbl")))
    if not recordings:
        sys.exit("no recordings in %s" % sys.argv[1])
    for recording in recordings:
        check_recording(recording)
    for p in problems:
        print("FAILED " + p)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
