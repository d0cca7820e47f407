# A ten-hour flight for bench/soak.sh, as a track file for skytrace-sim and skytrace-demo: a row
# every `step` seconds (4 by default) for `hours` hours (10 by default). Parked at the gate, taxi
# with turns, take-off, a climb to FL350, a cruise that keeps turning (a turn of 10 to 90 degrees
# at 1.5 degrees a second, the next one 10 to 60 seconds after it ends: the flight log gets a
# record every few seconds) and changes level every 15 to 30 minutes between FL200 and FL390, the
# descent, an ILS approach with its markers, the landing, taxi in and parked. The turns and level
# changes follow a fixed pseudo-random sequence: every run flies the same flight.
function rand01() {  # a linear congruential sequence: the same numbers on every awk
  seed = (seed * 1103515245 + 12345) % 2147483648
  return seed / 2147483648
}
function clamp(v, lo, hi) { return v < lo ? lo : (v > hi ? hi : v) }
function toward(v, target, rate) {  # moves v toward target by at most rate
  return v < target ? (target - v < rate ? target : v + rate) : (v - target < rate ? target : v - rate)
}
function turn(target) {  # the shorter way round, at most `rate` degrees a step
  d = target - hdg
  while (d > 180) d -= 360
  while (d < -180) d += 360
  hdg += clamp(d, -turnRate * step, turnRate * step)
  while (hdg >= 360) hdg -= 360
  while (hdg < 0) hdg += 360
}
BEGIN {
  if (hours == "") hours = 10
  if (step == "") step = 4
  seed = 20261205
  pi = 3.14159265358979
  n = hours * 3600
  lat = 50.0331; lon = 8.5706; hdg = 70; gs = 0; alt = 364; ground = 364; vs = 0
  onGround = 1; gear = 1; flaps = 0; spoilers = 0; autobrake = 3
  targetHdg = hdg; targetAlt = 35000; nextTurn = 2400; nextLevel = 0; turnRate = 1.5
  descent = n - 4200; approach = n - 2400; touchdown = n - 900; gate = n - 300
  glide = touchdown - 256  # 3000 ft down the glideslope at 700 ft/min
  print "t,lat,lon,alt_ft,ground_ft,gs_kt,ias_kt,tas_kt,hdg,vs_fpm,td_vs_fpm,on_ground,gear," \
        "flaps,spoilers,om,mm,im,loc,gs,gs_flag,autobrake"
  for (t = 0; t <= n; t += step) {
    om = 0; mm = 0; im = 0; loc = 0; gsNeedle = 0; gsFlag = 0; tdvs = 0
    if (t < 300) {  # parked
      gs = 0
    } else if (t < 900) {  # taxi out, with turns onto the taxiways
      gs = toward(gs, 15, 3)
      turnRate = 3
      if (t >= 420) targetHdg = 160
      if (t >= 600) targetHdg = 250
      if (t >= 700) flaps = 15
      turn(targetHdg)
    } else if (t < 960) {  # take-off roll
      gs = toward(gs, 160, 12)
    } else if (t < descent) {  # airborne: climb and cruise
      if (onGround) { onGround = 0; vs = 2500 }
      if (t >= 990) gear = 0
      if (t >= 1100) flaps = 0
      gs = toward(gs, alt < 10000 ? 250 : 460, 4)
      if (t >= nextLevel) {
        if (nextLevel > 0) targetAlt = 20000 + 1000 * int(rand01() * 20)
        nextLevel = t + 900 + int(rand01() * 900)
      }
      turnRate = 1.5
      if (t < 1300) targetHdg = 120
      if (t >= nextTurn && (hdg - targetHdg) ^ 2 < 0.01) {  # the next turn, once the last is done
        targetHdg = (targetHdg + (rand01() < 0.5 ? -1 : 1) * (10 + int(rand01() * 81)) + 360) % 360
        nextTurn = t + 10 + int(rand01() * 50)
      }
      turn(targetHdg)
    } else if (t < approach) {  # descent toward the approach
      targetAlt = 3000
      gs = toward(gs, alt < 10000 ? 250 : 420, 4)
      turn(300)
    } else if (t < touchdown) {  # vectors, then the ILS down to the runway
      turnRate = 2
      gs = toward(gs, 150, 2)
      turn(t < approach + 600 ? 210 : 250)
      if (t >= approach + 300) gear = 1
      if (t >= approach + 400) flaps = 15
      if (t >= approach + 900) flaps = 30
      if (t >= approach + 600) { loc = 10; gsFlag = 1; gsNeedle = t < glide ? 60 : 5 }
      if (t >= glide) { targetAlt = 50; ground = 50 }
      om = t >= glide + 20 && t < glide + 32
      mm = t >= touchdown - 80 && t < touchdown - 72
      im = t >= touchdown - 20 && t < touchdown - 16
    } else {  # landing, taxi in, parked
      if (!onGround) { onGround = 1; tdvs = -160; spoilers = 1 }
      ground = 50
      gs = t < gate ? toward(gs, t < touchdown + 60 ? 0 : 15, 10) : 0
      if (gs < 20) spoilers = 0
      if (t >= touchdown + 120) flaps = 0
      turnRate = 3
      if (t >= touchdown + 200) turn(340)
    }
    if (!onGround) {  # climb or descend toward the level, at a rate for the phase
      rate = t >= glide ? 700 : (alt < targetAlt ? (alt < 30000 ? 2500 : 1000) : 2000)
      vs = alt < targetAlt - 50 ? rate : (alt > targetAlt + 50 ? -rate : 0)
      alt = toward(alt, targetAlt, rate * step / 60)
    } else {
      vs = 0
      alt = ground
    }
    rad = hdg * pi / 180
    lat += gs * step / 3600 / 60 * cos(rad)
    lon += gs * step / 3600 / 60 * sin(rad) / cos(lat * pi / 180)
    ias = onGround ? gs : int(gs * (1 - alt / 80000))
    printf "%d,%.6f,%.6f,%.0f,%.0f,%.0f,%.0f,%.0f,%.1f,%.0f,%.0f,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d\n",
           t, lat, lon, alt, ground, gs, ias, gs, hdg, vs, tdvs, onGround, gear, flaps, spoilers,
           om, mm, im, loc, gsNeedle, gsFlag, autobrake
  }
}
