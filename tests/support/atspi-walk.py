#!/usr/bin/python3
"""Reads a running program's accessibility tree as a screen reader does, through AT-SPI.

Usage: atspi-walk.py PID
Prints one line per window the program shows ("WINDOW <role> <name>"), one per control that
takes the keyboard focus but has no name ("UNNAMED <window> / <role> <path>"), and a last
line "CHECKED <n>" with the number of focusable controls it looked at. Exit 2 when the
program is not found on the accessibility bus.
"""
import sys
import time

import pyatspi

MAX_CHILDREN = 60  # rows of a long list add nothing: their view is checked once


def showing(obj):
    states = obj.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def walk(obj, window, path, report):
    checked = 0
    try:
        count = min(obj.childCount, MAX_CHILDREN)
    except Exception:
        return 0
    for i in range(count):
        try:
            child = obj.getChildAtIndex(i)
        except Exception:
            continue
        if child is None or not showing(child):
            continue
        role = child.getRoleName()
        here = path + "/" + role
        if child.getState().contains(pyatspi.STATE_FOCUSABLE) and role not in ("list item", "table cell", "tree item"):
            checked += 1
            if not child.name.strip():
                report.append("UNNAMED %s / %s" % (window, here))
        checked += walk(child, window, here, report)
    return checked


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    app = None
    for _ in range(50):
        for candidate in desktop:
            try:
                if candidate is not None and candidate.get_process_id() == pid:
                    app = candidate
            except Exception:
                pass
        if app is not None:
            break
        time.sleep(0.1)
    if app is None:
        print("NOT FOUND: no application with process %d on the accessibility bus" % pid)
        return 2
    report = []
    checked = 0
    for window in app:
        if window is None or not showing(window):
            continue
        title = window.name or "(untitled %s)" % window.getRoleName()
        print("WINDOW %s %s" % (window.getRoleName(), title))
        checked += walk(window, title, "", report)
    for line in report:
        print(line)
    print("CHECKED %d" % checked)
    return 0


if __name__ == "__main__":
    sys.exit(main())
