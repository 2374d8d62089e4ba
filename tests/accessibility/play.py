# SPDX-License-Identifier: GPL-3.0-or-later
"""Plays the running program through AT-SPI and the keyboard only, as a
learner who cannot see the screen would, and checks what is announced.
Usage: play.py WORDLIST (the list the program has loaded: one word)."""

import math
import os
import pwd
import struct
import subprocess
import sys
import time
import traceback
import urllib.parse
import wave

import pyatspi
from gi.repository import GLib

LIST = sys.argv[1]
WORD = "<b>cat</b>"
SETTINGS = os.path.join(os.environ["XDG_CONFIG_HOME"], "Marrowfen", "Lexidrill.conf")

# Key codes of the X server's standard keyboard map.
CTRL, SHIFT, TAB, RETURN, SPACE, R, D, O, G, ESCAPE, RIGHT = 37, 50, 23, 36, 65, 27, 40, 32, 42, 9, 114
LETTERS = {"a": 38, "d": 40, "e": 26, "g": 42, "h": 43, "n": 57, "o": 32, "r": 27, "t": 28, " ": 65, ".": 60}
SENTENCE = "the dog ran."
# The recording played into the microphone: a rising sweep, which lines up
# with a copy of itself at one place only.
RATE = 22050
SWEEP = [round(0.5 * 32767 * math.sin(2 * math.pi * (300 * t + 2700 * t * t / 2)))
         for t in (i / RATE for i in range(RATE))]

MAIN_BUTTONS = ["Start Game", "?", "Repeat Word (Ctrl+R)", "Load Word List From Text File",
                "Help", "View File You Are Using", "Load One-To-Ten Example List",
                "Load 8th Grade Example List", "Audio Options", "Progress", "Take a Test",
                "Edit Word List..."]


def first_learner():
    """The account's full name (the GECOS field's first part), else the login name."""
    entry = pwd.getpwuid(os.getuid())
    login = next((os.environ[v].strip() for v in ["USER", "LOGNAME", "USERNAME"] if os.environ.get(v, "").strip()),
                 entry.pw_name)
    full = " ".join(entry.pw_gecos.split(",")[0].replace("&", entry.pw_name[:1].upper() + entry.pw_name[1:]).split())
    return full or login or "Learner"


def fail(message):
    print("FAIL:", message)
    traceback.print_stack(limit=9)
    sys.exit(1)


def until(what, probe, seconds=10.0, shown=None):
    """Asks the program until probe gives a value; bounded in time."""
    deadline = time.monotonic() + seconds
    while True:
        # The AT-SPI library keeps its view of the program up to date from
        # the events it is handed here.
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        try:
            found = probe()
        except Exception:  # the tree changes while it is read
            found = None
        # Nodes count as false when they have no children.
        if found is not None and found is not False:
            return found
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what + (": " + repr(shown()) if shown else ""))
        time.sleep(0.05)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def on_screen(node):
    """What a screen reader can reach below node. Hidden parts are not entered:
    the closed voice list alone holds thousands of items, and reading them
    one call at a time takes many seconds per walk."""
    for child in node:
        if child is not None and showing(child):
            yield child
            yield from on_screen(child)


def descendants(node, role):
    return [n for n in on_screen(node) if n.getRole() == role]


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Lexidrill":
            return app
    return None


def responding_application():
    # Asked afresh each time, so a program that stops answering fails here.
    return until("the program to answer", application, 30)


def window(title):
    for top in responding_application():
        if top is not None and top.name == title and showing(top):
            return top
    return None


def windows():
    return [top.name for top in responding_application() if top is not None and showing(top)]


def labels(node):
    return {n.description: n.name for n in descendants(node, pyatspi.ROLE_LABEL)}


def button_names(node):
    return [n.name for n in descendants(node, pyatspi.ROLE_PUSH_BUTTON)]


def press_keys(*codes):
    for code in codes:
        pyatspi.Registry.generateKeyboardEvent(code, None, pyatspi.KEY_PRESS)
    for code in reversed(codes):
        pyatspi.Registry.generateKeyboardEvent(code, None, pyatspi.KEY_RELEASE)


def focused(node):
    return [n.name for n in on_screen(node) if n.getState().contains(pyatspi.STATE_FOCUSED)]


def tab_to(node, name, backwards=False):
    for _ in range(20):
        if name in focused(node):
            return
        press_keys(SHIFT, TAB) if backwards else press_keys(TAB)
        time.sleep(0.05)
        until("the focus to move", lambda: focused(node) or None)
    fail("Tab never reached " + name + "; focus on " + str(focused(node)))


def table_cells(node, name):
    """The texts of the cells of the table of that name, row by row."""
    tables = [n for n in on_screen(node) if n.name == name and n.getRole() != pyatspi.ROLE_LABEL]
    if not tables:
        return None
    return [n.name for n in descendants(tables[0], pyatspi.ROLE_TABLE_CELL)]


def setting(key):
    """The value the program has saved under key in its settings file."""
    try:
        with open(SETTINGS, encoding="utf-8") as file:
            lines = file.read().splitlines()
    except OSError:
        return None
    for line in lines:
        name, equals, value = line.partition("=")
        if equals and urllib.parse.unquote(name.strip()) == key:
            return value.strip()
    return None


def switch_by_action(node, role, name, saved):
    """Switches the control through its accessible toggle action, as switch
    access and voice control do, and waits for the program to save what a
    click saves (saved: key -> value)."""
    controls = [n for n in descendants(node, role) if n.name == name]
    if len(controls) != 1:
        fail("controls named %r: %d" % (name, len(controls)))
    control = controls[0]
    before = control.getState().contains(pyatspi.STATE_CHECKED)
    actions = control.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if "toggle" not in [n.lower() for n in names]:
        fail("actions of %r: %r" % (name, names))
    actions.doAction([n.lower() for n in names].index("toggle"))
    until(name + " to be saved", lambda: all(setting(k) == v for k, v in saved.items()),
          shown=lambda: {k: setting(k) for k in saved})
    expect(name + " checked", control.getState().contains(pyatspi.STATE_CHECKED), not before)


def type_text(text):
    for letter in text:
        press_keys(LETTERS[letter])


def button(node, name):
    buttons = [n for n in descendants(node, pyatspi.ROLE_PUSH_BUTTON) if n.name == name]
    if len(buttons) != 1:
        fail("buttons named %r: %d" % (name, len(buttons)))
    return buttons[0]


def enabled(node, name):
    return button(node, name).getState().contains(pyatspi.STATE_SENSITIVE)


def press(node, name):
    """Presses the button through its accessible action, as switch access and
    voice control do."""
    button(node, name).queryAction().doAction(0)


def sweep_file():
    """The sweep with a little quiet before and after, as a WAV file."""
    path = os.path.join(os.path.dirname(LIST), "sweep.wav")
    quiet = [0] * (RATE * 3 // 10)
    with wave.open(path, "wb") as file:
        file.setnchannels(1)
        file.setsampwidth(2)
        file.setframerate(RATE)
        file.writeframes(struct.pack("<%dh" % (len(SWEEP) + 2 * len(quiet)), *(quiet + SWEEP + quiet)))
    return path


def play_into_microphone(node):
    """Plays the sweep into the sink whose monitor is the microphone; the
    loudest level the window's meter showed meanwhile."""
    meter = [n for n in descendants(node, pyatspi.ROLE_PROGRESS_BAR) if n.name == "Recording level"][0]
    player = subprocess.Popen(["paplay", "--device=lexidrill_null", SWEEP_FILE])
    loudest = 0
    while player.poll() is None:
        loudest = max(loudest, meter.queryValue().currentValue)
        time.sleep(0.02)
    expect("paplay's status", player.returncode, 0)
    return loudest


def similarity(samples):
    """How alike the samples are to the sweep where the two line up best
    around their onsets: the normalized cross-correlation, 1 for the same
    shape at any loudness."""
    start = next((i for i, sample in enumerate(samples) if abs(sample) > 300), None)
    if start is None:
        return 0
    sweep_energy = sum(s * s for s in SWEEP)
    best = 0
    for lag in range(-100, 101):
        part = samples[start + lag:start + lag + len(SWEEP)]
        if start + lag < 0 or len(part) < len(SWEEP):
            continue
        energy = sum(s * s for s in part)
        if energy:
            best = max(best, sum(a * b for a, b in zip(part, SWEEP)) / math.sqrt(energy * sweep_energy))
    return best


def check_recording(path):
    """The file is a 16-bit mono PCM WAV holding the sweep."""
    with wave.open(path, "rb") as file:
        expect(path + ": channels", file.getnchannels(), 1)
        expect(path + ": sample width", file.getsampwidth(), 2)
        expect(path + ": compression", file.getcomptype(), "NONE")
        # The rate the program records at, which the sound server gives.
        expect(path + ": samples a second", file.getframerate(), RATE)
        frames = file.readframes(file.getnframes())
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    # The second of sweep and a little of the quiet either side.
    if not 1.0 < len(samples) / RATE < 2.0:
        fail("%s: %.2f s" % (path, len(samples) / RATE))
    alike = similarity(samples)
    if alike < 0.9:
        fail("%s: not the sound played, similarity %.2f" % (path, alike))


def record(editor, record_button, part):
    """Records the chosen row's part from the microphone while the sweep
    plays into it, listens to the take and keeps it."""
    until(record_button + " to be enabled", lambda: enabled(editor, record_button))
    press(editor, record_button)
    until("the recording to start", lambda: enabled(editor, "Stop"))
    loudest = play_into_microphone(editor)
    if loudest < 50:
        fail("the level meter showed at most %r" % loudest)
    # Stop has the focus while recording: a key ends it.
    expect("Stop focused while recording", "Stop" in focused(editor), True)
    press_keys(SPACE)
    # Keep waits until the take has been heard to its end.
    until("the take to be heard", lambda: enabled(editor, "Keep"),
          shown=lambda: labels(editor).get("What the last command did"))
    press(editor, "Keep")
    until("the take kept", lambda: labels(editor).get("What the last command did") == "Recording kept.",
          shown=lambda: labels(editor))
    no_error_box()
    check_recording(os.path.join(LIST + ".audio", "dog." + part + ".wav"))


def expect(what, actual, wanted):
    if actual != wanted:
        fail("%s: %r, expected %r" % (what, actual, wanted))


def no_error_box():
    errors = window("Application Error")
    if errors:
        fail("error report: " + repr(labels(errors)))


main = until("the main window", lambda: window("Lexidrill"))
expect("main window role", main.getRoleName(), "frame")
expect("main window buttons", sorted(button_names(main)), sorted(MAIN_BUTTONS))
expect("word list in use", labels(main)["Word list in use"], os.path.basename(LIST))
until("the answer box to hold the focus", lambda: "Your spelling" in focused(main))
# The learner at the front: a drop-down told by its label and showing the name.
# The learners are read once the window has been painted.
until("the learner", lambda: [n.name for n in descendants(main, pyatspi.ROLE_COMBO_BOX)] == [first_learner()],
      shown=lambda: [n.name for n in descendants(main, pyatspi.ROLE_COMBO_BOX)])
learners = descendants(main, pyatspi.ROLE_COMBO_BOX)
expect("learner drop-down's label",
       [r.getTarget(0).name for r in learners[0].getRelationSet()
        if r.getRelationType() == pyatspi.RELATION_LABELLED_BY], ["Learner:"])

# Ctrl+R before a game: the message once, read and pressed through AT-SPI.
press_keys(CTRL, R)
until("the message box", lambda: len(windows()) == 2)
box = [top for top in responding_application() if top is not None and showing(top) and top != main][0]
expect("message", [n for n in labels(box).values() if n], ["Please start the game first."])
expect("message buttons", button_names(box), ["OK"])
descendants(box, pyatspi.ROLE_PUSH_BUTTON)[0].queryAction().doAction(0)
until("the message box to close", lambda: len(windows()) == 1)
# The program answers only after the key press is fully handled, so a second
# box would be open by now.
expect("windows after the message", windows(), ["Lexidrill"])

# Start the game from the keyboard: Shift+Tab twice reaches Start Game.
tab_to(main, "Start Game", backwards=True)
press_keys(SPACE)
until("End Game", lambda: "End Game" in button_names(main))
expect("buttons during a game", sorted(button_names(main)),
       sorted(["End Game"] + MAIN_BUTTONS[1:]))
# The first word waits for the speech engine when it is still starting.
until("the counter", lambda: labels(main)["Word counter"] == " Word 1 of 1", shown=lambda: labels(main))
until("the answer box to hold the focus", lambda: "Your spelling" in focused(main))

answer = descendants(main, pyatspi.ROLE_TEXT)[0]
answer.queryEditableText().setTextContents(WORD)
press_keys(RETURN)
# The next answer typed at once, during the feedback sound's one-second
# wait: its letters stay for the next word and its Enter is answered after
# the wait.
press_keys(D)
press_keys(O)
press_keys(G)
press_keys(RETURN)
until("the feedback", lambda: labels(main)["Feedback"] == "Incorrect. Correct spelling: " + WORD,
      shown=lambda: labels(main))
until("the answer box to be emptied", lambda: answer.queryText().getText(0, -1) == "",
      shown=lambda: answer.queryText().getText(0, -1))
expect("counter after the answers", labels(main)["Word counter"], " Word 1 of 1")
press_keys(CTRL, R)  # speaks the word again; no message
no_error_box()
expect("windows after Ctrl+R in a game", windows(), ["Lexidrill"])

# End the game from the keyboard; the results window comes by its title.
tab_to(main, "End Game", backwards=True)
press_keys(RETURN)
results = until("the results window", lambda: window("Results"))
expect("results window role", results.getRoleName(), "frame")
expect("results labels", sorted(labels(results).values()), ["Correct: 1", "Score: 50%", "Wrong: 1"])
expect("results buttons", button_names(results), ["Save Results", "Close", "Practise Missed Words"])
cells = [n.name for n in descendants(results, pyatspi.ROLE_TABLE_CELL)]
if WORD not in cells or "dog" not in cells:
    fail("results rows: %r" % cells)
# "dog" for the word: told as text, beside the wrong answer.
if "a different word" not in cells:
    fail("where it went wrong: %r" % cells)
tab_to(results, "Close")
press_keys(RETURN)
main = until("the main window again", lambda: window("Lexidrill"))
expect("start button after the game", "Start Game" in button_names(main), True)

# Audio options, found by their title, and closed from the keyboard.
tab_to(main, "Audio Options")
press_keys(RETURN)
options = until("the audio options", lambda: window("Lexidrill - Audio Options"))
expect("audio options role", options.getRoleName(), "frame")
for name in ["Test Speed", "Refresh List", "Add Voices", "Close"]:
    if name not in button_names(options):
        fail("audio options buttons: %r" % button_names(options))
# Each option button switched by its action, as by a click: the choice is
# saved, and the other button of the pair is let go.
for name, saved in [("Do not play sounds", {"Option2": "True", "Option1": "False"}),
                    ("Play sounds", {"Option1": "True", "Option2": "False"})]:
    switch_by_action(options, pyatspi.ROLE_RADIO_BUTTON, name, saved)
no_error_box()
tab_to(options, "Close")
press_keys(SPACE)
main = until("the main window after the audio options", lambda: window("Lexidrill"))
no_error_box()

# A test of the one word: no right or wrong during it, it ends by itself after
# the word and its results say how it went.
tab_to(main, "Take a Test")
press_keys(RETURN)
until("End Test", lambda: "End Test" in button_names(main))
until("the test's counter", lambda: labels(main)["Word counter"] == " Word 1 of 1", shown=lambda: labels(main))
until("the answer box to hold the focus", lambda: "Your spelling" in focused(main))
answer = descendants(main, pyatspi.ROLE_TEXT)[0]
answer.queryEditableText().setTextContents(WORD)
press_keys(RETURN)
results = until("the test's results", lambda: window("Results"))
expect("test results labels", sorted(labels(results).values()),
       ["Correct: 1", "Score: 100%", "The word was right. Well done!", "Wrong: 0"])
tab_to(results, "Close")
press_keys(RETURN)
main = until("the main window after the test", lambda: window("Lexidrill"))
no_error_box()

# The Progress window reads back the test and the game before it, newest
# first: its table of games is the chart's text, and the word missed is a
# word to work on.
tab_to(main, "Progress")
press_keys(RETURN)
progress = until("the progress window", lambda: window("Lexidrill - Progress"))
expect("progress window role", progress.getRoleName(), "frame")
expect("windows with the progress window", windows(), ["Lexidrill - Progress"])
for name in ["New Learner...", "Practise Words To Work On", "Save Words To Work On...", "Forget History...",
             "Close"]:
    if name not in button_names(progress):
        fail("progress buttons: %r" % button_names(progress))
games = until("the past games", lambda: table_cells(progress, "Past games"))
expect("the test marked", games[0].endswith(" (test)"), True)
expect("past test and game", games[1:4] + games[5:], ["1", "1", "100%", "2", "1", "50%"])
words = until("the words to work on", lambda: table_cells(progress, "Words To Work On"))
expect("words to work on", words[:4], [WORD, "3", "1", "dog"])
if len(words) != 5 or not words[4]:
    fail("where it went wrong: %r" % words)
# Each check box switched by its action, off and on again, as by clicks.
for name, key, first in [("Keep practice history", "Keep Practice History", "False"),
                         ("Ask words to work on first", "Words To Work On First", "True")]:
    switch_by_action(progress, pyatspi.ROLE_CHECK_BOX, name, {key: first})
    switch_by_action(progress, pyatspi.ROLE_CHECK_BOX, name, {key: "True" if first == "False" else "False"})
no_error_box()
# Escape closes it as its Close button does.
press_keys(ESCAPE)
main = until("the main window after the progress window", lambda: window("Lexidrill"))
no_error_box()

# The word list editor on the list in use: a row added from the keyboard, its
# word and sentence recorded, and the list saved in its place.
tab_to(main, "Edit Word List...")
press_keys(RETURN)
editor = until("the word list editor", lambda: window("Lexidrill - Word List"))
expect("windows with the editor", windows(), ["Lexidrill - Word List"])
for name in ["Add Row", "Remove Row", "Paste Rows", "New", "Open...", "Save", "Save As...", "Use This List",
             "Close", "Record Word", "Record Sentence", "Stop", "Play", "Delete Recording", "Keep", "Discard"]:
    if name not in button_names(editor):
        fail("editor buttons: %r" % button_names(editor))
rows = until("the list's rows", lambda: table_cells(editor, "Words and sentences"))
if WORD not in rows:
    fail("editor rows: %r" % rows)
tab_to(editor, "Add Row")
press_keys(SPACE)
time.sleep(0.2)
press_keys(D)
press_keys(O)
press_keys(G)
press_keys(RETURN)
until("the new row", lambda: "dog" in (table_cells(editor, "Words and sentences") or []),
      shown=lambda: table_cells(editor, "Words and sentences"))
# Its sentence typed in the cell beside it.
press_keys(RIGHT)
type_text(SENTENCE)
press_keys(RETURN)
until("the sentence", lambda: SENTENCE in (table_cells(editor, "Words and sentences") or []),
      shown=lambda: table_cells(editor, "Words and sentences"))
# The word and the sentence recorded through the microphone; the row says so.
SWEEP_FILE = sweep_file()
record(editor, "Record Word", "word")
record(editor, "Record Sentence", "sentence")
until("the row's recordings", lambda: "word, sentence" in (table_cells(editor, "Words and sentences") or []),
      shown=lambda: table_cells(editor, "Words and sentences"))
tab_to(editor, "Save")
press_keys(SPACE)
until("the saved list", lambda: open(LIST, "rb").read() == b"<b>cat</b>\ndog\t" + SENTENCE.encode() + b"\n",
      shown=lambda: open(LIST, "rb").read())
tab_to(editor, "Use This List")
press_keys(SPACE)
until("the list in use",
      lambda: labels(editor).get("What the last command did") == "This list is now the list in use.",
      shown=lambda: labels(editor))
expect("recordings beside the list", sorted(os.listdir(LIST + ".audio")), ["dog.sentence.wav", "dog.word.wav"])
tab_to(editor, "Close")
press_keys(SPACE)
until("the main window after the editor", lambda: window("Lexidrill"))
no_error_box()
print("PASS")
