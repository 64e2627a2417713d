#!/usr/bin/env python3
"""Compares what the browser build wrote with what the native tests expect.

  compare.py json WANT GOT   final state: the same rules as the golden replay
                             test (same type, same size, same value), naming
                             the first path that differs
  compare.py png WANT GOT    a screenshot against a reference screen: equal
                             RGB, except that a difference of 1 in a channel
                             passes (counted); more fails

Prints one line; exits 0 when they match, 1 when not.
"""
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "review"))
from png_read import read_png  # noqa: E402


def kind(v):
    # nlohmann::json's types: a number without a fraction or exponent is an
    # unsigned integer when not negative, else a signed one; bool is its own.
    if isinstance(v, bool):
        return "boolean"
    if isinstance(v, int):
        return "unsigned" if v >= 0 else "integer"
    return type(v).__name__


def first_difference(want, got, at=""):
    structured = isinstance(want, (dict, list))
    size = len(want) if structured else 1
    got_size = len(got) if isinstance(got, (dict, list)) else 1
    if kind(want) != kind(got) or size != got_size or (not structured and want != got):
        return at or "/"
    if isinstance(want, dict):
        for key, value in want.items():
            if key not in got:
                return at + "/" + key
            d = first_difference(value, got[key], at + "/" + key)
            if d:
                return d
    elif isinstance(want, list):
        for i, value in enumerate(want):
            d = first_difference(value, got[i], at + "/" + str(i))
            if d:
                return d
    return ""


def compare_png(want_path, got_path):
    ww, wh, want_rows = read_png(want_path)
    gw, gh, got_rows = read_png(got_path)
    if (ww, wh) != (gw, gh):
        return False, f"size {gw}x{gh}, reference {ww}x{wh}"
    want, got = b"".join(want_rows), b"".join(got_rows)
    off_by_one, worse, first = 0, 0, ""
    for i in range(0, len(want), 3):
        if want[i:i + 3] == got[i:i + 3]:
            continue
        most = max(abs(want[i + k] - got[i + k]) for k in range(3))
        if most <= 1:
            off_by_one += 1
            continue
        if worse == 0:
            p = i // 3
            first = (f"; first ({p % ww}, {p // ww}) is {tuple(got[i:i + 3])}, "
                     f"reference {tuple(want[i:i + 3])}")
        worse += 1
    text = f"{off_by_one} pixels off by one, {worse} off by more{first}"
    return worse == 0, text


def main():
    mode, want, got = sys.argv[1:4]
    if mode == "json":
        w = json.load(open(want))
        g = json.load(open(got))
        d = first_difference(w, g)
        ok, text = d == "", ("final state equal" if d == "" else f"final state differs at {d}")
    else:
        ok, text = compare_png(want, got)
    print(text)
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
