#!/usr/bin/python3
"""Every screen of the popover as a screen reader finds it through AT-SPI.

Runs the screen gallery on an X server, session bus and accessibility bus of
its own, shows the screens one after another and reads each one's tree: every
control must have a name, and the controls listed below must be there with
their role and states. A password typed on the way must never be readable,
neither from its input nor from the text events any listener on the bus gets.
    accessibility_test.py path/to/tender-gallery
"""
import os
import subprocess
import sys
import time

# Controls each screen must show, as "role|name|states"; a state with "!" must
# be absent. Rows and circles carry the person's name.
SCREENS = {
    "signed-out": ["push button|Войти через Google|enabled", "push button|Войти по почте|"],
    "signin-email-note": ["text|Почта|", "password text|Пароль|", "push button|Войти или создать аккаунт|",
                          "push button|Забыли пароль?|"],
    "main": ["push button|Мама|", "push button|🐱 Кот|", "push button|Настройки|", "push button|Пауза|",
             "push button|Кому-нибудь на свете|", "push button|Добавить в близкие|", "text|Найти — 9 человек|"],
    "paused": ["push button|Снять|"],
    "book": ["push button|Мама|", "push button|Убрать из близких|", "push button|В близкие|", "text|Имя|"],
    "add-empty": ["text|Ссылка-приглашение|", "text|Как назовёшь?|", "push button|Добавить|!enabled",
                  "radio button|Коралловый|checked selected", "radio button|Розовый|!checked !selected",
                  "check box|Близкий человек|checked"],
    "edit-remove": ["push button|Нет|", "push button|Убрать|"],
    "settings": ["page tab|Сигнал|selected", "page tab|Когда|!selected", "slider|Смайликов за раз|enabled",
                 "check box|Тихий звук|!checked", "push button|Показать, как это выглядит|"],
    "settings-calm": ["slider|Смайликов за раз|!enabled", "check box|Без мигания и полёта|checked"],
    "settings-when": ["page tab|Когда|selected", "push button|На час|", "slider|Свечение не чаще раза в|",
                      "check box|Тихо, когда что-то на весь экран|checked"],
    "devices": ["text|Название|", "check box|Принимает сердечки|checked", "push button|Отключить|"],
    "devices-token": ["push button|Скопировано|", "push button|Готово|"],
}
INTERACTIVE = {"push button", "toggle button", "check box", "radio button", "slider", "page tab", "text",
               "password text", "menu item", "combo box", "link", "spin button", "entry"}
DEADLINE = 60  # seconds for any one wait; a busy machine is slow, a hang is a failure
PASSWORD_TYPED = "signin-email-note"  # the gallery types a password on this screen


def wait_for(what, condition):
    deadline = time.monotonic() + DEADLINE
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        while GLib.MainContext.default().iteration(False):  # events from the bus
            pass
        time.sleep(0.05)
    sys.exit(f"timed out waiting for {what}")


def first_line(process):
    line = process.stdout.readline().decode().strip()
    if not line:
        sys.exit(f"{process.args[0]} did not start")
    return line


def start(arguments, **options):
    process = subprocess.Popen(arguments, **options)
    started.append(process)
    return process


def private_session():
    """An X server, a session bus and the accessibility bus with its registry."""
    server = start(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                   stdout=subprocess.PIPE)
    os.environ["DISPLAY"] = ":" + first_line(server)
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = first_line(bus)
    for name in ("AT_SPI_BUS_ADDRESS", "XDG_RUNTIME_DIR_A11Y"):
        os.environ.pop(name, None)
    start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])


def nodes(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from nodes(child)


def describe(node):
    states = node.getState()
    names = {"enabled": pyatspi.STATE_ENABLED, "checked": pyatspi.STATE_CHECKED,
             "selected": pyatspi.STATE_SELECTED, "showing": pyatspi.STATE_SHOWING}
    shown = {word for word, state in names.items() if states.contains(state)}
    if node.getRoleName() == "password text":  # what anyone on the bus can read of it
        shown.add("reads " + node.queryText().getText(0, -1))
    return node.getRoleName(), node.name or "", shown


def tree(application):
    # Qt hands the ids of gone objects to new ones: what the bus remembers may be of another screen.
    application.clear_cache()
    return [describe(node) for node in nodes(application)]


def problems(screen, shown):
    found = []
    for role, name, states in shown:
        if role in INTERACTIVE and "showing" in states and not name.strip():
            found.append(f"{screen}: a {role} without a name")
        if role == "password text" and any(word.startswith("reads ") and word[6:].strip("●") for word in states):
            found.append(f"{screen}: the password {name!r} gives its text away")
    for expected in SCREENS[screen]:
        role, name, wanted = expected.split("|")
        match = [states for r, n, states in shown if r == role and n == name and "showing" in states]
        if not match:
            found.append(f"{screen}: no {role} named {name!r}")
            continue
        for word in wanted.split():
            if (word.lstrip("!") in match[0]) == word.startswith("!"):
                found.append(f"{screen}: {role} {name!r} should be {word}")
    return found


def main():
    typed = []  # what the text events of password inputs said

    def heard(event):
        if event.source_role == pyatspi.ROLE_PASSWORD_TEXT:
            typed.append(str(event.any_data))

    gallery = start([sys.argv[1], "--serve"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                    env=dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                             QT_SCALE_FACTOR="1"))
    desktop = wait_for("the registry", lambda: pyatspi.Registry.getDesktop(0))
    application = None
    failures = []
    for screen in SCREENS:
        # Listens while a password is typed only: with a listener on the bus, a
        # click of the gallery's own on the devices tab came to nothing.
        listening = screen == PASSWORD_TYPED
        if listening:
            pyatspi.Registry.registerEventListener(heard, "object:text-changed")
        gallery.stdin.write(f"{screen}\n".encode())
        gallery.stdin.flush()
        if first_line(gallery) != f"shown {screen}":
            sys.exit(f"the gallery did not show {screen}")
        # The application joins the registry with its first window.
        application = application or wait_for("the gallery in the registry", lambda: find_gallery(desktop))
        marker = SCREENS[screen][0].split("|")[:2]
        wait_for(f"{screen} in the tree", lambda: any([r, n] == marker and "showing" in s
                                                      for r, n, s in tree(application)))
        shown = tree(application)
        if os.environ.get("A11Y_DUMP"):  # the whole tree, when a screen needs looking into
            print(screen, *shown, sep="\n  ")
        failures += problems(screen, shown)
        if listening:
            wait_for("the typed password's events", lambda: typed)
            pyatspi.Registry.deregisterEventListener(heard, "object:text-changed")
    gallery.stdin.close()
    failures += [f"a password's text event says {text!r}" for text in typed if text.strip("●")]
    print("\n".join(failures) or f"{len(SCREENS)} screens: every control named, no password given away")
    return 1 if failures else 0


def find_gallery(desktop):
    desktop.clear_cache()
    return next((app for app in desktop if app and app.name == "tender-gallery"), None)


started = []
try:
    private_session()
    import pyatspi  # after the session: it finds its bus through the environment
    from gi.repository import GLib
    sys.exit(main())
finally:
    for process in reversed(started):
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
