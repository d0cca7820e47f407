# A long animated flight for bench/compare-ogr2ogr.sh: `hours` hours from 00:00:00 on 5 December
# 2026, written into the data folder `dir` as the program records it: "Animation.txt" (a record
# every second), "Flightlog.txt" (a record every 12 s and at each event), "Traffic.txt" (20
# aircraft every second), CR LF line ends. The same points (aircraft and traffic) go to the CSV
# file `csv` for ogr2ogr.
function two(v) { return sprintf("%02d", v) }
function stamp(s) {
  return "20261205" two(int(s / 3600)) two(int((s % 3600) / 60)) two(s % 60)
}
function record(s, code, previous) {
  return sprintf("%s:%.10f:%.10f:%d:%d:%s:%d:%d:%d:%d:%d:%d:%s", stamp(s), lon, lat, alt, ground,
                 code, ias, alt - 364, ias + 30, vs, gs, heading, previous)
}
BEGIN {
  n = hours * 3600
  pi = 3.14159265
  animation = dir "/Animation.txt"
  flightlog = dir "/Flightlog.txt"
  traffic = dir "/Traffic.txt"
  print "name,time,lon,lat,alt" > csv
  for (s = 0; s < n; s++) {
    # An hour-long circle round Frankfurt, climbing to FL345 and back.
    angle = s * 2 * pi / 3600
    lat = 50 + 0.5 * sin(angle)
    lon = 8.5 + 0.8 * cos(angle)
    ground = s < 120 || s >= n - 120
    climb = s < 1800 ? s : (s > n - 1800 ? n - s : 1800)
    alt = ground ? 364 : 364 + climb * 19
    vs = ground ? 0 : (s < 1800 ? 1140 : (s > n - 1800 ? -1140 : 0))
    gs = ground ? 15 : 450
    ias = ground ? 15 : 280
    heading = int((s / 10 + 90) % 360)
    code = ""
    if (s == 0) code = "SA"
    else if (s == 120) code = "TO=5"
    else if (s == n - 120) code = "TD=-200/3"
    else if (s % 3600 == 600) code = "GU"
    else if (s % 3600 == 1200) code = "GD"
    else if (s % 3600 == 1800) code = "FL=10"
    previous = code != "" ? "" : stamp(s - 1)
    printf "%s\r\n", record(s, code, previous) > animation
    printf "aircraft,%s,%.10f,%.10f,%.4f\n", stamp(s), lon, lat, alt * 0.3048 > csv
    if (s % 12 == 0 || code != "" || s == n - 1) {
      printf "%s\r\n", record(s, s == n - 1 ? "SO" : code, s == 0 ? "-" : stamp(s - 1)) > flightlog
    }
    for (a = 1; a <= 20; a++) {
      tlat = lat + 0.02 * a * sin(angle * a)
      tlon = lon + 0.03 * a * cos(angle + a)
      talt = alt + (a - 10) * 150
      level = a <= 2 ? 4 : (a <= 4 ? 3 : (a <= 8 ? 2 : 1))
      relative = int((talt - alt) / 100)
      printf "%s:%d:%.6f:%.6f:%d:%.2f:%d:KLM%d:%d:%d:%s%d:%s\r\n", stamp(s), 4100 + a, tlat, tlon,
             talt, (a * 17) % 360 + 0.5, 250, 100 + a, (a % 3 - 1) * 500, level,
             (relative >= 0 ? "+" : ""), relative, previous > traffic
      printf "KLM%d,%s,%.6f,%.6f,%.4f\n", 100 + a, stamp(s), tlon, tlat, talt * 0.3048 > csv
    }
  }
}
