"""What a screen reader learns from the running calculator over the AT-SPI bus.

Run by accessibility.sh once the program is up; prints one line per check
and exits 1 if any failed. Qt 6.4 publishes no object names on the bus, so
the main window's controls are told apart by where they stand: top to
bottom, as the window's rows run.
"""

import sys
import time

import pyatspi

MAIN_TITLE = "Масса AL листов"
ABOUT_TITLE = "О программе"
MAIL_ADDRESS = "sheetmass@example.org"

# The controls that take the focus, from the top of the window down.
CONTROLS = [
    ("Комманда1", "push button", "О программе"),
    ("Комбо2", "combo box", "Считать массу по:"),
    ("Комбо1", "combo box", "Сплав"),
    ("Текст1", "text", "Толщина листа"),
    ("Текст2", "text", "Верхнее отклонение"),
    ("Текст3", "text", "Нижнее отклонение"),
    ("Текст4", "text", "Длина листа"),
    ("Текст5", "text", "Ширина листа"),
    ("Текст6", "text", "Количество"),
    ("Комбо3", "combo box", "Знаков после запятой"),
    ("Текст7", "text", "Масса, кг"),
]

failures = 0


def check(what, got, want):
    global failures
    if got == want:
        print(f"ok   {what}: {got!r}")
    else:
        print(f"FAIL {what}: {got!r}, not {want!r}")
        failures += 1


def wait_for(find, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def children(accessible):
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield child


def window(title):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app.name != "sheetmass":
            continue
        for top in children(app):
            if top.name == title and top.getState().contains(pyatspi.STATE_SHOWING):
                return top
    return None


def focusable(accessible):
    """The controls that take the focus; a combo box's own parts are its."""
    for child in children(accessible):
        if child.getState().contains(pyatspi.STATE_FOCUSABLE):
            yield child
        else:
            yield from focusable(child)


def descendants(accessible):
    for child in children(accessible):
        yield child
        yield from descendants(child)


def shown_window(title, seconds, missing):
    """The window once it is on the bus, with its role checked; None if not."""
    found = wait_for(lambda: window(title), seconds)
    if found is None:
        print(f"FAIL {missing}")
        return None
    print(f"ok   window {title!r} is on the bus")
    check(f"{title!r} role", found.getRoleName(), "frame")
    return found


def top_edge(accessible):
    return accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y


def main():
    global failures
    main_window = shown_window(MAIN_TITLE, 30, f"no window {MAIN_TITLE!r} on the bus")
    if main_window is None:
        return 1

    controls = sorted(focusable(main_window), key=top_edge)
    if len(controls) != len(CONTROLS):
        print(f"FAIL {len(controls)} controls take the focus, not {len(CONTROLS)}:")
        for c in controls:
            print(f"       {c.getRoleName()} {c.name!r}")
        return 1
    for (name, role, caption), control in zip(CONTROLS, controls):
        check(f"{name} name", control.name, caption)
        check(f"{name} role", control.getRoleName(), role)

    button = controls[0]
    button.queryAction().doAction(0)
    about = shown_window(ABOUT_TITLE, 15, f"pressing {button.name!r} opened no {ABOUT_TITLE!r}")
    if about is None:
        return 1
    # A link may sit inside the label that shows it; the link is what counts.
    mail = [d for d in descendants(about) if MAIL_ADDRESS in d.name]
    mail.sort(key=lambda d: d.getRoleName() != "link")
    if not mail:
        print(f"FAIL nothing in {ABOUT_TITLE!r} is named after {MAIL_ADDRESS!r}")
        failures += 1
    else:
        check("Метка5 name", mail[0].name, MAIL_ADDRESS)
        check("Метка5 role", mail[0].getRoleName(), "link")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
