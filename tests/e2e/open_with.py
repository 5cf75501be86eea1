"""The box the window shows for a file opened with it, read over AT-SPI.

Run by open_with.sh once the program was started with the file; checks the
box's text and buttons, answers it with OK, and sees the main window stay.
"""

import sys
import time

import pyatspi

MAIN_TITLE = "Масса AL листов"
TEXT = ("«заказ.csv»: 2 строки, итого 83,1 кг.\n"
        "Не в итоге: 1 строка без массы.\n\n"
        "строка 3: сплав «Д17» — не марка из списка и не плотность, ближе всего: "
        "«ВД17», «Д1 (1110)», «Д12 (1521)»\n\n"
        "Результат записан рядом: «заказ (масса).csv».")


def children(accessible):
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(accessible):
    for child in children(accessible):
        yield child
        yield from descendants(child)


def program():
    for app in children(pyatspi.Registry.getDesktop(0)):
        if app.name == "sheetmass":
            return app
    return None


def box():
    """The program's box: a shown top-level window that holds push buttons."""
    app = program()
    for top in children(app) if app is not None else []:
        if top.getState().contains(pyatspi.STATE_SHOWING) and top.getRoleName() in (
                "alert", "dialog"):
            return top
    return None


def wait_for(find, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def main():
    shown = wait_for(box, 30)
    if shown is None:
        print("FAIL no box shown for the file")
        return 1
    labels = [a.name for a in descendants(shown) if a.getRoleName() == "label" and a.name]
    buttons = {a.name: a for a in descendants(shown) if a.getRoleName() == "push button"}
    failures = 0
    if TEXT in labels:
        print("ok   the box tells the lines, the total, the line without a mass, the result")
    else:
        print(f"FAIL the box says {labels!r}")
        failures += 1
    if "Открыть результат" in buttons and "OK" in buttons:
        print("ok   the box offers «Открыть результат» beside OK")
    else:
        print(f"FAIL the box's buttons are {sorted(buttons)!r}")
        return 1
    buttons["OK"].queryAction().doAction(0)
    if wait_for(lambda: None if box() is not None else True, 10) is None:
        print("FAIL the box stayed after OK")
        return 1
    app = program()
    main_window = [t for t in children(app) if t.name == MAIN_TITLE] if app else []
    if not main_window:
        print("FAIL the main window is gone with the box")
        return 1
    print("ok   OK closes the box; the main window stays")
    return 1 if failures else 0


sys.exit(main())
