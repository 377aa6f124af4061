#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into fuzz/corpus/<target>/.

Each seed is a small, readable starting point for one part of a target's input format (see the
comment at the top of each target). Inputs that once made a target fail are kept in the same
folders under the name crash-<what>; this script leaves them alone.
"""

import struct
from pathlib import Path

COLS, ROWS = 59, 47
KEY_MASK = 0x2B4D
HERE = Path(__file__).resolve().parent / "corpus"


def u8(v):
    return struct.pack("<B", v & 0xFF)


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def i32(v):
    return struct.pack("<i", v)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def u64(v):
    return struct.pack("<Q", v)


def f32(v):
    return struct.pack("<f", v)


def f32_bits(bits):
    return struct.pack("<I", bits)


def level_grid():
    """The walls, goals and ball of a freshly generated level, without scattered tiles."""
    tiles = {}
    for x in range(COLS):
        tiles[(x, 0)] = tiles[(x, ROWS - 1)] = 1
    for y in range(ROWS):
        tiles[(0, y)] = tiles[(COLS - 1, y)] = 1
    for goal in [(56, 44), (56, 2), (2, 44), (2, 2)]:
        tiles[goal] = 8
    tiles[(35, 27)] = 2
    tiles[(20, 20)] = 4
    tiles[(30, 10)] = 10
    return tiles


def saved_game(key=43210, score=60, banked=0, ball_interval=390, min_interval=201, accel=5,
               sliders=(300, 5, 1), scatter=0, last=(34, 28), ball=(35, 27)):
    """A saved-game file as the game writes it (with the defaults; other values make files the
    format holds that the loader may refuse)."""
    tiles = level_grid()
    out = bytearray(b"EGF1.0BR")
    out += struct.pack("<hh", COLS - 1, ROWS - 1)
    out += i32(key ^ KEY_MASK)
    for x in range(COLS):
        for y in range(ROWS):
            out += i32(tiles.get((x, y), 0) ^ y ^ x ^ key)
    cursor, scan, nxt = (0, 0), (0, 0), ball
    for a, b in [cursor, scan, last, nxt, ball]:
        out += i32(a ^ key) + i32(b ^ a ^ key)
    for v in [min_interval, ball_interval, accel, scatter, banked]:
        out += i32(v ^ key)
    out += i32(score ^ key ^ banked)
    speed, acc, lvl = sliders
    out += i32(speed ^ key) + i32(acc ^ speed ^ key) + i32(lvl ^ speed ^ key)
    assert len(out) == 11184
    return bytes(out)


def grid(base=0, fill=None, edits=()):
    """Bytes of fuzz/grid_bytes.h: fill is (left, top, width, height, seed)."""
    out = u8(base)
    if base & 6:
        left, top, width, height, seed = fill
        out += u8(left) + u8(top) + u8(width) + u8(height) + u32(seed)
    out += u8(len(edits))
    for x, y, code in edits:
        out += u16(x + COLS * y) + code
    return out


KNOWN = {"empty": u8(0), "wall": u8(1), "ball": u8(2), "block": u8(3), "goal": u8(4),
         "marker": u8(5)}


def code(name_or_value):
    if isinstance(name_or_value, str):
        return KNOWN[name_or_value]
    return u8(0xF0) + struct.pack("<h", name_or_value)


def neighbourhood(rows):
    """25 codes of the 5 x 5 cells around the ball, from 5 strings of . # o B G m ?."""
    letters = {".": "empty", "#": "wall", "o": "ball", "B": "block", "G": "goal", "m": "marker"}
    out = b""
    for row in rows:
        for c in row:
            out += code(777) if c == "?" else code(letters[c])
    return out


def ball_tick_seeds():
    centre = neighbourhood([".....", ".....", "..o..", ".....", "....."])
    wedged = neighbourhood([".....", ".....", "..oB.", "..B#.", "....."])
    pushes = neighbourhood(["..#..", ".BB..", "..o..", ".B.m.", "?...G"])
    corner = neighbourhood(["#####", "#####", "##o..", "##...", "##..."])
    # how: bit 0 ball as two i16, bit 1 previous cell as two i16; else one step byte.
    # Step byte 6 is (-1, -1) from the previous cell: the ball moves right and down.
    near = lambda x, y, step: u8(0) + u8(x) + u8(y) + u8(step)
    return {
        "open-field": grid(1) + near(30, 20, 6) + centre + u8(7),
        "wedged": grid(1) + near(30, 20, 6) + wedged + u8(3),
        "pushes": grid(1, None, [(10, 10, code("block"))]) + near(30, 20, 18) + pushes + u8(5),
        "corner": grid(1) + near(1, 1, 18) + corner + u8(7),
        "dense-any-codes": grid(7, (0, 0, 59, 47, 12345)) + near(40, 30, 6) + centre + u8(7),
        "far-previous": grid(0) + u8(2) + u8(20) + u8(20) + struct.pack("<hh", 5, 44) + centre
        + u8(2),
        "outside": grid(1) + u8(3) + struct.pack("<hhhh", 32767, -32768, 32766, 32767) + centre
        + u8(1),
    }


def game_clock_seeds():
    def ops(*parts):
        return b"".join(parts)

    advance = lambda ms: u8(0) + u16(ms)
    pause, unpause = u8(1), u8(2)
    pointer = lambda x, y: u8(3) + f32(x) + f32(y)
    pixels = lambda x, y: u8(4) + u16(x) + u16(y)
    cell = lambda w, h: u8(5) + f32(w) + f32(h)
    apply, reset = u8(6), u8(7)
    slider = lambda which, v: u8(8) + u8(which) + i32(v)
    save_load = lambda key: u8(9) + i32(key)
    tick = lambda ms: u8(10) + u8(ms)

    generated = lambda seed, speed, acc, lvl, changes=b"", n=0: (
        u8(0) + u64(seed) + i32(speed) + i32(acc) + i32(lvl) + u8(n) + changes)
    # Fields: below 0x8000 a tile (column + 59 x row); 0x8000 + k the k-th of cursorX, cursorY,
    # scanX, scanY, lastX, lastY, nextX, nextY, ballX, ballY, minInterval, ballInterval,
    # accelStep, scatterCount, bankedScore, score, SSpeed, SAccel, SLvl, key.
    field = lambda k, v: u16(0x8000 + k) + i32(v)
    tile = lambda x, y, v: u16(x + 59 * y) + i32(v)
    no_goals = b"".join(tile(x, y, 0) for x, y in [(56, 44), (56, 2), (2, 44), (2, 2)])
    return {
        "play": generated(7, 300, 5, 1) + u8(0) + u8(100)
        + ops(unpause, advance(3000), pixels(20750, 12290), advance(2000), save_load(99)),
        "fast-level": generated(11, 500, 20, 80) + u8(5) + u8(0)
        + ops(unpause, advance(60000), pause, advance(500), unpause, advance(60000)),
        "settings": generated(3, -1, 1, 0) + u8(0) + u8(0)
        + ops(slider(0, 40), slider(1, 99), slider(2, -5), apply, unpause, advance(5000), reset,
              tick(200), save_load(-1)),
        "hostile-pointer": generated(5, 300, 5, 1) + u8(0) + u8(0)
        + ops(cell(0.0, -3.0), pointer(float("nan"), 1e30), cell(float("inf"), 8.0),
              pointer(-1.0, 5e9), pixels(0, 0), unpause, advance(800), save_load(5)),
        "score-near-the-end": generated(9, 300, 5, 1, field(15, 2), 1) + u8(0) + u8(0)
        + ops(unpause, advance(1500), save_load(77)),
        # Games the format holds that would overflow within the first second of play; the
        # loader refuses them, and the generated level plays on.
        "overflow-score-at-minimum": generated(9, 300, 5, 1, field(15, -2**31), 1) + u8(0) + u8(0)
        + ops(unpause, advance(1000)),
        "overflow-interval-very-negative": generated(9, 300, 5, 1, field(11, -32000), 1) + u8(0)
        + u8(0) + ops(unpause, advance(1000)),
        "overflow-accel-step-negative": generated(9, 300, 5, 1, field(12, -32768), 1) + u8(0)
        + u8(0) + ops(unpause, advance(1000)),
        "overflow-no-goals-large-accel-step": generated(
            9, 300, 5, 1, no_goals + field(12, 20000), 5) + u8(0) + u8(0)
        + ops(unpause, advance(1000)),
        "overflow-no-goals-score-at-maximum": generated(
            9, 300, 5, 1, no_goals + field(15, 2**31 - 10), 5) + u8(0) + u8(0)
        + ops(unpause, advance(1000)),
        "saved-file": u8(1) + saved_game() + u64(1) + u8(50) + u8(100)
        + ops(unpause, advance(10000), save_load(123)),
    }


def scene_render_seeds():
    # how: bit 0 cell size as f32, bit 1 any list with i32 bounds and texts, bit 2 an earlier
    # walled scene. Then image width and height.
    small = lambda w8, h8: u8(w8) + u8(h8)
    entity = b"3\r\n9\r\n3\r\n9\r\n32\r\nc255\0" + b"1\r\n60\r\n1\r\n60\r\n2\r\nc16711680\0"
    return {
        "empty-fresh": grid(0) + u8(0) + small(8, 8) + u8(64) + u8(64),
        "walled": grid(1) + u8(4) + small(8, 8) + u8(64) + u8(64),
        "one-tile": grid(0, None, [(3, 3, code("ball"))]) + u8(4) + small(16, 16) + u8(64)
        + u8(48),
        "dense-any-codes": grid(7, (0, 0, 20, 20, 99)) + u8(0) + small(24, 20) + u8(64) + u8(64),
        "nan-size": grid(1) + u8(1) + f32(float("nan")) + f32(8.0) + u8(32) + u8(32),
        "huge-size": grid(1) + u8(1) + f32(3e38) + f32(1e9) + u8(32) + u8(32),
        "list-with-texts": grid(3, (0, 0, 8, 8, 5)) + u8(6) + small(16, 16) + u8(64) + u8(64)
        + i32(-1) + i32(-1) + entity,
        "list-bounds": grid(1) + u8(2) + small(8, 8) + u8(16) + u8(16) + i32(3) + i32(40000),
    }


def number_seeds():
    return {
        "plain": b"270.5",
        "blanks": b" \t-12 \n34.5D+2 ",
        "hex": b"&HFFFFFFFF",
        "octal": b"&o777",
        "exponent": b"1.6777216E+07",
        "beyond-single": b"3.5E+38",
        "beyond-double": b"1E400",
        "half": b"  2.5  ",
        "singles": f32(1234567.8) + f32(1e-5) + f32_bits(0x7FC00000) + f32_bits(0x00000001)
        + f32(-0.0) + f32(3.4028235e38) + f32(0.00099752),
    }


def entity_seeds():
    return {
        "rectangle": b"30\r\n40\r\n20\r\n30\r\n24\r\nc0",
        "text": b"10.5\r\n0\r\n12\r\n0\r\n32\r\nline one\r\nline two",
        "exponent": b"1E+07\r\n-1.5E-05\r\nNaN\r\nInfinity\r\n&H10\r\nc16777215",
        "short": b"1\r\n2\r\n3\r\n4",
    }


def savegame_seeds():
    # Besides the file itself: a big-endian offset into a valid file and the bytes laid there.
    return {
        "saved-file": saved_game(),
        "overlay-variables": struct.pack(">H", 11108) + i32(0x12345678) + i32(-1),
        "overlay-sliders": struct.pack(">H", 11172) + i32(500 ^ 43210) + i32(7),
        # Whole files the format holds whose values the game cannot run from: the loader
        # refuses them.
        "refused-accel-step-negative": saved_game(accel=-32768),
        "refused-accel-step-doubling-past-16-bits": saved_game(accel=16384),
        "refused-accel-step-above-the-slider": saved_game(accel=21),
        "refused-interval-zero": saved_game(ball_interval=0),
        "refused-interval-very-negative": saved_game(ball_interval=-31268),
        "refused-min-interval-zero": saved_game(min_interval=0),
        "refused-scatter-count-above-the-most": saved_game(scatter=545),
        "refused-score-at-minimum": saved_game(score=-2**31),
        "refused-score-at-maximum": saved_game(score=2**31 - 1),
        "refused-banked-score-above": saved_game(banked=10**9 + 1),
        "refused-previous-cell-far": saved_game(ball=(30, 20), last=(26, 16)),
        "refused-previous-cell-same-row": saved_game(last=(34, 27)),
    }


def score_table_seeds():
    head = b"kestro-scores 1\n"
    return {
        "empty-table": head,
        "table": head + b"1402 80 20 500 2024-05-01T10:00:00Z saved Ann \xc3\x96. Smith\n"
        + b"-7 0 1 -1 1999-12-31T23:59:59Z - x\n",
        "tie": head + b"10 1 5 300 2024-05-01T10:00:00Z - a\n10 1 5 300 2024-05-01T10:00:00Z - b\n",
        "damaged": head + b"010 1 5 300 2024-13-01T10:00:00Z maybe  name\t\n",
        "run-record": b"kestro-run 1\norigin saved\nbest 77 2 5 300 2024-05-01T10:00:00Z\n",
        "run-record-fresh": b"kestro-run 1\norigin fresh\n",
    }


def main():
    targets = {
        "fuzz_score_table": score_table_seeds(),
        "fuzz_ball_tick": ball_tick_seeds(),
        "fuzz_game_clock": game_clock_seeds(),
        "fuzz_scene_render": scene_render_seeds(),
        "fuzz_numbers": number_seeds(),
        "fuzz_entity": entity_seeds(),
        "fuzz_savegame_decode": savegame_seeds(),
    }
    for target, seeds in targets.items():
        folder = HERE / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds.items():
            (folder / f"seed-{name}").write_bytes(data)


if __name__ == "__main__":
    main()
