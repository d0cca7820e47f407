#!/usr/bin/env python3
"""The FlightGear check (run by scripts/run-flightgear-check.sh).

Starts FlightGear headless (c172p on Honolulu runway 08L), skytrace-sim bridging it, and
skytrace-demo --live logging it; flies a take-off roll at full throttle with flaps 10, a climb
with the flaps retracted at 300 ft above the ground, and a right turn onto south, through
FlightGear's telnet interface, recording FlightGear's own values five times a second. Then it
checks the flight log against them, the take-off and flaps events, and the converted document.

Tolerances: a record agrees with FlightGear when one of FlightGear's samples from 3 s before to
1 s after the record's second (the logger reads once a second, the bridge once a second) is
within 40 m of its position, 15 ft of its altitude, 5 degrees of its heading, and 4 kt of its
ground and indicated airspeeds (the log keeps whole feet and knots).

Every process it starts runs in a session of its own and is stopped, by its id, on every way
out. Options: --keep (leave the work folder), --work DIR, --seconds N (length of the logged run).
"""

import argparse
import math
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.join(ROOT, "build", "bin")
FGFS = shutil.which("fgfs") or "/usr/games/fgfs"

TOL_POSITION_M = 40.0
TOL_ALTITUDE_FT = 15.0
TOL_HEADING_DEG = 5.0
TOL_SPEED_KT = 4.0
WINDOW_BEFORE_S = 3.0
WINDOW_AFTER_S = 1.0


def say(text):
    print("flightgear-check: " + text, flush=True)


class Failed(Exception):
    pass


# ---- processes ---------------------------------------------------------------------------------

class Processes:
    """The processes this check started; each in a session of its own, stopped by its id."""

    def __init__(self):
        self.started = []

    def start(self, name, args, log, env=None):
        out = open(log, "wb")
        process = subprocess.Popen(args, stdout=out, stderr=subprocess.STDOUT, env=env,
                                   stdin=subprocess.DEVNULL, start_new_session=True)
        out.close()
        self.started.append((name, process))
        return process

    def stop(self, process, grace=15):
        if process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                process.wait(grace)
            except subprocess.TimeoutExpired:
                pass
        # Whatever is left of the session (Xvfb, dbus) goes too.
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            pass

    def stop_all(self):
        for name, process in reversed(self.started):
            self.stop(process)
        self.started = []


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(what, predicate, timeout, every=0.5, alive=None):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if alive is not None and alive.poll() is not None:
            raise Failed("%s: the process ended (exit %s) while waiting" % (what, alive.returncode))
        value = predicate()
        if value:
            return value
        time.sleep(every)
    raise Failed("%s: not within %d s" % (what, timeout))


# ---- FlightGear's telnet interface -------------------------------------------------------------

class Telnet:
    """Data mode; gets pipelined in one write, sets in another (they have no answer)."""

    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=30)
        self.buffer = b""
        self.sock.sendall(b"data\r\n")

    def get(self, paths, timeout=30):
        self.sock.sendall(b"".join(b"get " + p.encode() + b"\r\n" for p in paths))
        lines = []
        deadline = time.time() + timeout
        while len(lines) < len(paths):
            while b"\n" in self.buffer and len(lines) < len(paths):
                line, self.buffer = self.buffer.split(b"\n", 1)
                lines.append(line.rstrip(b"\r").decode("utf-8", "replace"))
            if len(lines) == len(paths):
                break
            if time.time() > deadline:
                raise Failed("FlightGear did not answer within %d s" % timeout)
            self.sock.settimeout(max(0.1, deadline - time.time()))
            data = self.sock.recv(65536)
            if not data:
                raise Failed("FlightGear closed the connection")
            self.buffer += data
        return lines

    def set(self, values):
        # Never a set without a value: FlightGear would set the property to nothing.
        self.sock.sendall(b"".join(("set %s %s\r\n" % (p, v)).encode() for p, v in values.items()))

    def close(self):
        self.sock.close()


def number(text, otherwise=0.0):
    try:
        value = float(text)
        return value if math.isfinite(value) else otherwise
    except ValueError:
        return otherwise


def clamp(value, low, high):
    return max(low, min(high, value))


def angle_diff(a, b):
    return (a - b + 180.0) % 360.0 - 180.0


# ---- the flight --------------------------------------------------------------------------------

READ = [
    "/position/latitude-deg", "/position/longitude-deg", "/position/altitude-ft",
    "/position/altitude-agl-ft", "/orientation/heading-deg", "/velocities/groundspeed-kt",
    "/instrumentation/airspeed-indicator/indicated-speed-kt", "/orientation/pitch-deg",
    "/orientation/roll-deg", "/orientation/pitch-rate-degps", "/orientation/roll-rate-degps",
    "/orientation/yaw-rate-degps", "/gear/gear[0]/wow", "/gear/gear[1]/wow", "/gear/gear[2]/wow",
    "/surface-positions/flap-pos-norm",
]


def read_state(fg):
    v = fg.get(READ)
    return {
        "t": time.time(),
        "lat": number(v[0]), "lon": number(v[1]), "alt": number(v[2]), "agl": number(v[3]),
        "hdg": number(v[4]), "gs": number(v[5]), "ias": number(v[6]), "pitch": number(v[7]),
        "roll": number(v[8]), "q": number(v[9]), "p": number(v[10]), "r": number(v[11]),
        "ground": "true" in (v[12], v[13], v[14]), "flaps": number(v[15]),
    }


def start_engine(fg):
    fg.set({
        "/controls/switches/magnetos": 3,
        "/controls/engines/current-engine/throttle": 0.2,
        "/controls/engines/current-engine/mixture": 1,
        "/controls/switches/master-bat": 1,
        "/controls/switches/master-alt": 1,
        "/controls/switches/master-avionics": 1,
        "/controls/engines/engine[0]/primer-lever": 0,
        "/controls/engines/engine/primer": 3,
        "/sim/model/c172p/cockpit/control-lock-placed": 0,
        "/controls/switches/starter": 1,
        "/engines/active-engine/auto-start": 1,
    })
    wait_for("the engine to run", lambda: (
        fg.get(["/engines/active-engine/running"])[0] == "true"
        and number(fg.get(["/engines/engine[0]/rpm"])[0]) > 600), 180)
    fg.set({"/controls/switches/starter": 0, "/engines/active-engine/auto-start": 0})


class Pilot:
    """Holds a heading on the runway with the rudder, then pitch and bank in the air."""

    def __init__(self, fg, samples):
        self.fg = fg
        self.samples = samples
        self.phase = "parked"
        self.runway_heading = None
        self.turn_to = None
        self.marks = {}

    def step(self, s):
        self.samples.append(s)
        controls = {}
        if self.runway_heading is None:
            self.runway_heading = s["hdg"]
        if self.phase in ("roll", "rotate"):
            controls["/controls/flight/rudder"] = round(
                clamp(0.15 * angle_diff(self.runway_heading, s["hdg"]) - 0.05 * s["r"], -1, 1), 3)
        if self.phase == "rotate" or self.phase.startswith("climb") or self.phase == "turn":
            target_pitch = 8.0 if self.phase in ("rotate", "climb") else 5.0
            controls["/controls/flight/elevator"] = round(
                clamp(0.04 * (s["pitch"] - target_pitch) + 0.015 * s["q"], -0.6, 0.6), 3)
        if self.phase != "parked":
            target_roll = 0.0
            if self.phase == "turn":
                error = angle_diff(self.turn_to, s["hdg"])
                target_roll = clamp(1.5 * error, -20, 20)
            controls["/controls/flight/aileron"] = round(
                clamp(0.04 * (target_roll - s["roll"]) - 0.01 * s["p"], -0.6, 0.6), 3)
        if self.phase == "roll" and s["ias"] > 55:
            self.phase = "rotate"
        elif self.phase == "rotate" and not s["ground"] and s["agl"] > 20:
            self.phase = "climb"
            self.marks["airborne"] = s["t"]
            controls["/controls/flight/rudder"] = 0
        elif self.phase == "climb" and s["agl"] > 300:
            self.phase = "climb-clean"
            controls["/controls/flight/flaps"] = 0
            self.marks["flaps up"] = s["t"]
        elif self.phase == "climb-clean" and s["agl"] > 600:
            self.phase = "turn"
            self.turn_to = (self.runway_heading + 90) % 360
            self.marks["turn"] = s["t"]
        if controls:
            self.fg.set(controls)

    def begin_roll(self):
        self.fg.set({
            "/controls/flight/flaps": 0.333,
            "/controls/gear/brake-parking": 0,
            "/sim/model/c172p/brake-parking": 0,
            "/controls/engines/current-engine/throttle": 1,
        })
        self.phase = "roll"


# ---- the flight log and the document -----------------------------------------------------------

def read_log(path):
    records = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            fields = line.rstrip("\r\n").split(":")
            if len(fields) != 13:
                continue
            stamp = fields[0]
            # yyyymmdd hhmm (UTC) ss; the demo runs with TZ=UTC, so the whole stamp is UTC.
            t = time.mktime(time.strptime(stamp, "%Y%m%d%H%M%S")) - time.timezone
            records.append({
                "t": t, "stamp": stamp, "lon": float(fields[1]), "lat": float(fields[2]),
                "alt": float(fields[3]), "ground": fields[4] == "1", "event": fields[5],
                "ias": float(fields[6]), "gs": float(fields[10]), "hdg": float(fields[11]),
            })
    return records


def distance_m(lat1, lon1, lat2, lon2):
    k = math.pi / 180
    x = (lon2 - lon1) * k * math.cos((lat1 + lat2) / 2 * k)
    y = (lat2 - lat1) * k
    return 6371000 * math.hypot(x, y)


def compare(records, samples):
    worst = {"position m": 0.0, "altitude ft": 0.0, "heading deg": 0.0, "ground speed kt": 0.0,
             "indicated airspeed kt": 0.0}
    bad = []
    for r in records:
        window = [s for s in samples
                  if r["t"] - WINDOW_BEFORE_S <= s["t"] <= r["t"] + 1 + WINDOW_AFTER_S]
        best = None
        for s in window:
            d = {
                "position m": distance_m(r["lat"], r["lon"], s["lat"], s["lon"]),
                "altitude ft": abs(r["alt"] - s["alt"]),
                "heading deg": abs(angle_diff(r["hdg"], s["hdg"])),
                "ground speed kt": abs(r["gs"] - s["gs"]),
                "indicated airspeed kt": abs(r["ias"] - s["ias"]),
            }
            ok = (d["position m"] <= TOL_POSITION_M and d["altitude ft"] <= TOL_ALTITUDE_FT
                  and d["heading deg"] <= TOL_HEADING_DEG
                  and d["ground speed kt"] <= TOL_SPEED_KT
                  and d["indicated airspeed kt"] <= TOL_SPEED_KT)
            score = (0 if ok else 1, d["position m"])
            if best is None or score < best[0]:
                best = (score, d, ok)
        if best is None:
            bad.append("%s: no FlightGear sample near its time" % r["stamp"])
            continue
        for key, value in best[1].items():
            worst[key] = max(worst[key], value)
        if not best[2]:
            bad.append("%s %s: %s" % (r["stamp"], r["event"] or "-", ", ".join(
                "%s %.1f" % (k, v) for k, v in best[1].items())))
    return worst, bad


def run_tool(args):
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode, result.stdout


# ---- the check ---------------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--work")
    parser.add_argument("--keep", action="store_true")
    parser.add_argument("--seconds", type=int, default=200)
    args = parser.parse_args()

    work = args.work or tempfile.mkdtemp(prefix="skytrace-fgcheck.")
    os.makedirs(work, exist_ok=True)
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    fg_home = os.path.join(os.environ.get("XDG_CACHE_HOME", os.path.expanduser("~/.cache")),
                           "skytrace-flightgear")
    os.makedirs(fg_home, exist_ok=True)
    processes = Processes()

    def on_signal(number, frame):
        raise Failed("interrupted by signal %d" % number)

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)
    fg = None
    status = 1
    started = time.time()
    try:
        port = free_port()
        say("starting FlightGear (telnet port %d, FG_HOME %s); the first start builds its "
            "navigation cache" % (port, fg_home))
        env = dict(os.environ, FG_HOME=fg_home, ALSOFT_DRIVERS="null")
        flightgear = processes.start("FlightGear", [
            "xvfb-run", "-a", "-s", "-screen 0 640x480x24", "dbus-run-session", "--", FGFS,
            "--aircraft=c172p", "--airport=PHNL", "--runway=08L", "--nav1=111.70",
            "--telnet=socket,bi,100,localhost,%d,tcp" % port, "--enable-sound",
            "--disable-terrasync", "--disable-real-weather-fetch", "--disable-splash-screen",
            "--disable-clouds", "--disable-clouds3d", "--disable-random-objects",
            "--disable-random-vegetation", "--disable-random-buildings", "--disable-hud",
            "--disable-panel", "--disable-fgcom", "--fog-fastest", "--geometry=320x240",
            "--timeofday=noon", "--prop:/sim/rendering/draw-mask/terrain=false",
            "--prop:/sim/rendering/draw-mask/models=false",
            "--prop:/sim/rendering/draw-mask/aircraft=false",
            "--prop:/sim/rendering/draw-mask/clouds=false",
        ], os.path.join(work, "flightgear.log"), env)

        def connect():
            try:
                return Telnet(port)
            except OSError:
                return None

        fg = wait_for("FlightGear's telnet port", connect, 600, 2, flightgear)
        wait_for("FlightGear's aircraft", lambda: fg.get(
            ["/sim/signals/fdm-initialized", "/sim/sceneryloaded"]) == ["true", "true"],
            900, 2, flightgear)
        say("FlightGear is up after %.0f s" % (time.time() - started))

        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, TZ="UTC")
        bridge_log = os.path.join(work, "skytrace-sim.log")
        bridge = processes.start("skytrace-sim", [
            os.path.join(BIN, "skytrace-sim"), "--flightgear", "127.0.0.1:%d" % port,
        ], bridge_log, env)
        wait_for("the bridge to open the program's link",
                 lambda: "link is open" in open(bridge_log).read(), 120, 0.5, bridge)
        start_engine(fg)
        say("engine running; starting skytrace-demo --live for %d s" % args.seconds)

        actions = os.path.join(work, "actions.txt")
        end = args.seconds
        with open(actions, "w") as f:
            # Logging starts a few seconds in: a loaded machine may take a tick or two to connect,
            # and a click on a button that is still disabled does nothing.
            f.write("# the FlightGear check: log the whole flight, convert it at the end\n"
                    "8 click btn_startlog\n"
                    "%d click btn_stoplog\n"
                    "%d answer text \"FlightGear check\"\n"
                    "%d click btn_Convert\n" % (end - 2, end - 1, end - 1))
        demo_log = os.path.join(work, "skytrace-demo.log")
        data = os.path.join(work, "data")
        docs = os.path.join(work, "documents")
        demo = processes.start("skytrace-demo", [
            os.path.join(BIN, "skytrace-demo"), "--live", "--seconds", str(end), "--actions",
            actions, "--data-dir", data, "--docs-dir", docs,
        ], demo_log, env)
        wait_for("logging to start", lambda: "Logging started." in open(demo_log).read(), 60,
                 0.2, demo)

        samples = []
        pilot = Pilot(fg, samples)
        flight_start = time.time()
        rolled = False
        while demo.poll() is None:
            loop = time.time()
            state = read_state(fg)
            if not rolled and loop - flight_start > 6:
                pilot.begin_roll()
                pilot.marks["roll"] = loop
                rolled = True
            pilot.step(state)
            if bridge.poll() is not None:
                raise Failed("skytrace-sim ended during the flight")
            time.sleep(max(0.0, 0.2 - (time.time() - loop)))
            if time.time() - flight_start > end + 120:
                raise Failed("skytrace-demo did not end")
        say("flown: %s; %d FlightGear samples" % (", ".join(
            "%s at %.0f s" % (k, v - flight_start) for k, v in pilot.marks.items()), len(samples)))
        if demo.returncode != 0:
            raise Failed("skytrace-demo ended with %d:\n%s" % (demo.returncode,
                                                               open(demo_log).read()))
        fg.close()
        fg = None
        processes.stop_all()
        for line in open(bridge_log).read().splitlines():
            say("  " + line)

        # The flight log against FlightGear's values.
        log_path = os.path.join(data, "Skytrace flightlogger", "Flightlog.txt")
        records = read_log(log_path)
        airborne = [r for r in records if not r["ground"]]
        events = [r["event"] for r in records if r["event"]]
        say("flight log: %d records, %d in the air, highest %.0f ft, headings %.0f to %.0f; "
            "events %s" % (len(records), len(airborne), max(r["alt"] for r in records),
                           min(r["hdg"] for r in airborne) if airborne else 0,
                           max(r["hdg"] for r in airborne) if airborne else 0, " ".join(events)))
        worst, bad = compare(records, samples)
        say("largest differences from FlightGear: " + ", ".join(
            "%s %.1f" % (k, v) for k, v in worst.items()))
        say("tolerances: position %.0f m, altitude %.0f ft, heading %.0f deg, speeds %.0f kt" % (
            TOL_POSITION_M, TOL_ALTITUDE_FT, TOL_HEADING_DEG, TOL_SPEED_KT))
        problems = list(bad)
        if len(records) < 20:
            problems.append("only %d records" % len(records))
        if len(airborne) < 10 or max(r["alt"] for r in records) < 500:
            problems.append("the flight log shows no climb above 500 ft")
        for code in ("SA", "SO"):
            if code not in events:
                problems.append("no %s event" % code)
        takeoff = [r for r in records if r["event"].startswith("TO=")]
        if not takeoff:
            problems.append("no take-off event")
        elif distance_m(takeoff[0]["lat"], takeoff[0]["lon"], 21.3253, -157.9240) > 2500:
            problems.append("the take-off is not on runway 08L")
        flaps = [e for e in events if e.startswith("FL=")]
        if flaps != ["FL=33", "FL=0"]:
            problems.append("flaps events %s, not FL=33 then FL=0" % flaps)
        elif takeoff and not (events.index("FL=33") < events.index(takeoff[0]["event"])
                              < events.index("FL=0")):
            problems.append("the flaps were not set before the take-off and retracted after it")
        transcript = open(demo_log).read()
        if "connection: not connected" in transcript:
            problems.append("the program lost the link during the flight:\n" + transcript)
        if airborne and max(abs(angle_diff(r["hdg"], airborne[0]["hdg"])) for r in airborne) < 60:
            problems.append("no turn in the flight log")

        # The converted document.
        saved_folder = os.path.join(docs, "Skytrace flightlogger files")
        saved = [os.path.join(saved_folder, n) for n in sorted(os.listdir(saved_folder))
                 if n.startswith("Flightlog FlightGear check")] if os.path.isdir(saved_folder) else []
        if not saved:
            problems.append("no converted document in " + saved_folder)
        for document in saved[:1] + [os.path.join(data, "Skytrace flightlogger", "Flightlog.kml")]:
            code, output = run_tool(["xmllint", "--noout", document])
            if code != 0:
                problems.append("xmllint: %s\n%s" % (document, output))
            code, output = run_tool(["ogrinfo", "-ro", "-al", "-so", document])
            layers = re.findall(r"^Layer name: (.*)$", output, re.M)
            features = sum(int(n) for n in re.findall(r"^Feature Count: (\d+)$", output, re.M))
            if code != 0 or not layers or features == 0:
                problems.append("ogrinfo: %s (exit %d)\n%s" % (document, code, output))
            else:
                say("%s: xmllint fine; ogrinfo reads %d layers, %d features" % (
                    os.path.basename(document), len(layers), features))
        if problems:
            raise Failed("\n  ".join(["the flight log does not match:"] + problems))
        say("passed in %.0f s (work folder %s)" % (time.time() - started, work))
        status = 0
    except Failed as failure:
        say("FAILED: %s" % failure)
        say("logs in %s" % work)
        args.keep = True
    finally:
        if fg is not None:
            try:
                fg.close()
            except OSError:
                pass
        processes.stop_all()
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
