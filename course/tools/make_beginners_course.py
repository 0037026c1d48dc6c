#!/usr/bin/env python3
"""Writes the "Touch typing for beginners" course from course/tools/beginners_lessons.py:
install/lessons/beginners.cnt and the lesson pages and drill texts in
install/lessons/beginners/.

    course/tools/make_beginners_course.py install/lessons            # check, then write
    course/tools/make_beginners_course.py --check                    # check only

Before anything is written every line is checked: drills, words and sentences use only
the keys learnt up to their lesson; each word of a new-key lesson holds one of its new
keys; key-drill groups have at most four spaces; with a word list at hand
(/usr/share/dict/words, Debian's wamerican) every word must be in it. The word drills
are drawn from the lesson's words with a fixed seed, so the files come out the same on
every run.
"""
import html
import os
import random
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from beginners_lessons import FINGERS, LESSONS, pair_lines  # noqa: E402

FOLDER = "beginners"
WORD_LINE = 22  # characters: a word-drill line fits the row at its large font
SENTENCE_LINE = 44
DICTIONARY = "/usr/share/dict/words"

# Words the word list lacks but that are plain English.
KNOWN = {"okay"}


def learnt_sets():
    """The keys learnt by the end of each lesson, and each lesson's new keys."""
    learnt, sets = set(), []
    for lesson in LESSONS:
        learnt |= set(lesson.get("keys", ""))
        sets.append(frozenset(learnt))
    return sets


def key_lines(n, lesson, learnt):
    if "keys" not in lesson:
        return review_key_lines(n)
    keys = lesson["keys"]
    if keys.islower() and keys.isalpha() and len(keys) <= 3:
        return pair_lines(keys) + lesson["key_lines"]
    return lesson["key_lines"]


def lessons_since_review(n):
    """The new-key lessons a review at index n looks back on."""
    back = []
    for lesson in reversed(LESSONS[:n]):
        if "keys" not in lesson:
            break
        back.append(lesson)
    return back


def review_key_lines(n):
    rng = random.Random(1000 + n)
    recent = [w for lesson in lessons_since_review(n) for w in lesson["words"]
              if 2 <= len(w) <= 6]
    lines = []
    for _ in range(8):
        words = rng.sample(recent, 4)
        lines.append(" ".join(words))
    return lines


def word_pool(n):
    """Words for lesson n's word drill: its own (or the recent lessons') twice, the
    earlier ones once."""
    lesson = LESSONS[n]
    if "keys" in lesson:
        fresh = list(lesson["words"])
    else:
        fresh = [w for back in lessons_since_review(n) for w in back["words"]]
    older = [w for earlier in LESSONS[:n] for w in earlier.get("words", []) if w not in fresh]
    return fresh, older


def word_lines(n, count=16):
    rng = random.Random(n + 1)
    fresh, older = word_pool(n)
    lines = []
    while len(lines) < count:
        line = []
        while True:
            pool = fresh if not older or rng.random() < 0.85 else older
            word = rng.choice(pool)
            if word in line:
                continue
            if line and len(" ".join(line + [word])) > WORD_LINE:
                break
            line.append(word)
            if len(word) >= WORD_LINE:
                break
        lines.append(" ".join(line))
    return lines


# --- Checks ---

class Problems:
    def __init__(self):
        self.items = []

    def add(self, n, text):
        self.items.append(f"lesson {n + 1}: {text}")


def load_dictionary():
    if not os.path.exists(DICTIONARY):
        return None
    with open(DICTIONARY, encoding="utf-8", errors="replace") as f:
        words = {line.strip() for line in f}
    return words | {w.lower() for w in words} | KNOWN


def check_tokens(n, what, line, dictionary, problems):
    for token in line.split():
        word = token.strip(".,?;")
        if not word or word.isdigit() or re.fullmatch(r"\d+(st|nd|rd|th)", word):
            continue
        if word not in dictionary and word.lower() not in dictionary:
            problems.add(n, f"{what}: {word!r} is not in the word list")


def check(dictionary):
    problems = Problems()
    sets = learnt_sets()
    for n, lesson in enumerate(LESSONS):
        learnt = sets[n] | {" "}
        new = set(lesson.get("keys", ""))

        def uses_learnt(what, line):
            bad = sorted(set(line) - learnt)
            if bad:
                problems.add(n, f"{what} {line!r} uses keys not learnt yet: {''.join(bad)}")

        for line in key_lines(n, lesson, learnt):
            uses_learnt("key drill", line)
            if line.count(" ") > 4:
                problems.add(n, f"key drill {line!r} has more than four spaces")
        for word in lesson.get("words", []):
            uses_learnt("word", word)
            if new and not set(word) & new:
                problems.add(n, f"word {word!r} has none of the new keys {''.join(sorted(new))}")
        for line in word_lines(n):
            uses_learnt("word drill", line)
        for sentence in lesson["sentences"]:
            uses_learnt("sentence", sentence)
            if len(sentence) > SENTENCE_LINE:
                problems.add(n, f"sentence {sentence!r} is longer than {SENTENCE_LINE}")
            if dictionary is not None:
                check_tokens(n, "sentence", sentence, dictionary, problems)
        for line in exam_lines(n):
            uses_learnt("exam line", line)
        for line in lesson.get("text", []):
            uses_learnt("text", line)
            if dictionary is not None:
                check_tokens(n, "text", line, dictionary, problems)
        if dictionary is not None:
            for word in lesson.get("words", []):
                check_tokens(n, "word", word, dictionary, problems)
        if new:
            for key in new:
                if key.lower() not in FINGERS:
                    problems.add(n, f"no finger is known for the new key {key!r}")
    return problems.items


# --- Writing ---

def crlf(lines):
    return "".join(line + "\r\n" for line in lines)


def write(path, lines):
    with open(path, "w", encoding="cp1252", newline="") as f:
        f.write(crlf(lines))


def key_name(key):
    return {";": "the semicolon", ".": "period", ",": "comma", "'": "apostrophe",
            "?": "question mark"}.get(key, key.upper())


def intro_lines(lesson):
    """The key introduction's text: which finger types each new key."""
    keys = lesson["keys"]
    if keys.isupper():
        shift = "right" if keys[0].lower() in "qwertasdfgzxcvb" else "left"
        hand = "left" if shift == "right" else "right"
        return [f"Hold the {shift} Shift key with your {shift} little finger,",
                f"press the letter with your {hand} hand, then let go of Shift."]
    lines = []
    for key in keys:
        finger, home, way = FINGERS[key]
        where = f", {way} from {key_name(home)}" if way else ""
        name = key_name(key)
        shift = ", with the left Shift key held" if key == "?" else ""
        lines.append(f"{name[0].upper()}{name[1:]}: {finger}{where}{shift}.")
    lines.append("Press each key as it lights up, then come back to the home row.")
    return lines


PAGE = """<html><head><title>Lesson {n}</title><style>
body {{ font-family: Verdana, sans-serif; font-size: 10pt; color: #233340; }}
h1 {{ font-size: 15pt; color: #123c52; margin-bottom: 2px; }}
p.sub {{ color: #5d6f7c; font-style: italic; margin-top: 0px; }}
td.tip {{ background-color: #fdf3dc; border: 1px solid #f2b134; padding: 6px; }}
</style></head>
<body>
<h1>Lesson {n}: {title}</h1><p class="sub">{sub}</p>
<p align="center"><img src="lesson{nn}.png" width="440" height="157"></p>
{about}
<table width="100%" cellspacing="0" cellpadding="0"><tr><td class="tip"><b>Tip:</b> {tip}</td></tr></table>
</body></html>"""


def page(n, lesson):
    about = "\n".join(f"<p>{p}</p>" for p in lesson["about"])
    return PAGE.format(n=n + 1, nn=f"{n + 1:02d}", title=html.escape(lesson["title"]),
                       sub=html.escape(lesson["sub"]), about=about, tip=lesson["tip"])


HEADER = [
    "$description=Touch typing for beginners",
    "$longdesc=From the home row to every letter, the capitals, the punctuation and the "
    "digits: the keys of the US keyboard, two at a time, with a review after every few "
    "lessons.",
    "$language=ENG",
    "$version=2.0",
    "$author=Corvella",
    "' Touch typing for beginners: written by course/tools/make_beginners_course.py from",
    "' course/tools/beginners_lessons.py; change the lessons there, not here.",
    "' Each new-key lesson declares its keys (\"new keys\"), so the key level, the drills'",
    "' \"newkeys\" and the difficult-key statistics follow the learner lesson by lesson.",
    "' Key introductions and key drills run until their groups are done; word and",
    "' sentence drills are timed, each lesson step adding a minute to them, and carry",
    "' goals (fields 10 to 15: accuracy offset, minimum, final, start and mid speed in",
    "' characters per minute, objective). Every lesson ends with an exam (\"EASYEXAM\")",
    "' judged by the BEGINNERS.chapter_ criteria of the policy.",
    "short name=Beginners",
    "crs_icon=beginners\\lesson01.png",
    "keyboard=qwerty.kbd",
    "keyboardbase=QWERTY",
    "durationsystem=static",
    "lessondurations=10,15,20",
    "defaultduration=2",
    "accuracygoals=90,94,97",
    "goalinfo=Accuracy first: a calm, even rhythm makes the speed.",
    "eventdurationmargin=2",
    "dynamicdurationmargin=2",
    "speedbar_maxdefault=200",
    "accuracybar_mindefault=80",
]


def goals(n, objective):
    """Goal fields 4 to 15 of a timed drill in lesson n: fields 4 to 9 unused, then the
    accuracy offset and the minimum, final, start and mid speeds (characters per minute),
    rising lesson by lesson, and the objective text."""
    minimum, final, start, mid = 40 + 4 * n, 70 + 7 * n, 50 + 5 * n, 60 + 6 * n
    return f";-;-;-;-;-;-;0;{minimum};{final};{start};{mid};{objective}"


# Objectives (language strings 1619 + n): word drills, sentences, a whole text.
WORD_OBJECTIVE, SENTENCE_OBJECTIVE, TEXT_OBJECTIVE = 1, 2, 3
EXAM_LINES = 6  # one paragraph of the exam


def exam_lines(n):
    """The lesson exam: four of the lesson's sentences and two of the lessons before,
    drawn with a fixed seed; every one uses only keys learnt by this lesson."""
    rng = random.Random(2000 + n)
    own = list(LESSONS[n]["sentences"])
    earlier = [s for lesson in LESSONS[:n] for s in lesson["sentences"] if s not in own]
    picked = rng.sample(own, min(4, len(own)))
    picked += rng.sample(earlier, min(EXAM_LINES - len(picked), len(earlier)))
    if len(picked) < EXAM_LINES:
        picked += [s for s in own if s not in picked][:EXAM_LINES - len(picked)]
    rng.shuffle(picked)
    return picked


def exercise(kind, weight, event, notes=None):
    lines = ["begin exercise", f"type={kind}", f"duration={weight}"]
    if notes:
        lines.append(f"notes={notes}")
    return lines + [f"event={event}", "end exercise"]


def chapter(n, lesson):
    nn = f"{n + 1:02d}"
    base = f"{FOLDER}\\l{nn}"
    lines = ["", "begin chapter", f"chapter name={n + 1};{lesson['title']}",
             f"extradesc={lesson['sub']}", f"picture={FOLDER}\\lesson{nn}.png"]
    if "keys" in lesson:
        lines.append("new keys=" + lesson["keys"].replace(";", "%;"))
    lines += exercise("Introduction", 1,
                      f"HTMLMESSAGE;0;{FOLDER}\\lesson{nn}.htm;Lesson {n + 1}: {lesson['title']}",
                      f"What lesson {n + 1} teaches")
    if "keys" in lesson:
        lines += exercise("New keys", 1, f"KEYINTRO;0;FILE:{base}i.txt;newkeys;PRESS")
        lines += exercise("Key drill", 2, f"KEY2;0;FILE:{base}k.txt;-;2;4")
        lines += exercise("Word drill", 3,
                          f"WORD2;3;FILE:{base}w.txt" + goals(n, WORD_OBJECTIVE))
        lines += exercise("Sentences", 3,
                          f"SENTENCE2;3;FILE:{base}s.txt" + goals(n, SENTENCE_OBJECTIVE))
    else:
        lines += exercise("Key review", 2, f"KEY2;0;FILE:{base}k.txt;-;2;4")
        lines += exercise("Word review", 3,
                          f"WORD2;3;FILE:{base}w.txt" + goals(n, WORD_OBJECTIVE))
        lines += exercise("Sentence review", 3,
                          f"SENTENCE2;3;FILE:{base}s.txt" + goals(n, SENTENCE_OBJECTIVE))
        if "text" in lesson:
            lines += exercise("A short text", 3,
                              f"TEXT;3;FILE:{base}t.txt" + goals(n, TEXT_OBJECTIVE))
    # The lesson ends with its exam; the criteria are the course's in the policy.
    lines += exercise("Lesson exam", 2, f"EASYEXAM;2;FILE:{base}e.txt")
    return lines + ["end chapter"]


def write_course(lessons_folder):
    folder = os.path.join(lessons_folder, FOLDER)
    os.makedirs(folder, exist_ok=True)
    contents = list(HEADER)
    sets = learnt_sets()
    for n, lesson in enumerate(LESSONS):
        nn = f"{n + 1:02d}"
        contents += chapter(n, lesson)
        with open(os.path.join(folder, f"lesson{nn}.htm"), "w", encoding="cp1252",
                  newline="") as f:
            f.write(page(n, lesson).replace("\n", "\r\n") + "\r\n")
        if "keys" in lesson:
            write(os.path.join(folder, f"l{nn}i.txt"), intro_lines(lesson))
        write(os.path.join(folder, f"l{nn}k.txt"), key_lines(n, lesson, sets[n]))
        write(os.path.join(folder, f"l{nn}w.txt"), word_lines(n))
        write(os.path.join(folder, f"l{nn}s.txt"), lesson["sentences"])
        write(os.path.join(folder, f"l{nn}e.txt"), exam_lines(n))
        if "text" in lesson:
            write(os.path.join(folder, f"l{nn}t.txt"), lesson["text"])
    write(os.path.join(lessons_folder, "beginners.cnt"), contents)


def main():
    args = sys.argv[1:]
    dictionary = load_dictionary()
    if dictionary is None:
        print(f"note: {DICTIONARY} is missing; the words are not looked up", file=sys.stderr)
    problems = check(dictionary)
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        return 1
    if args and args[0] != "--check":
        write_course(args[0])
    return 0


if __name__ == "__main__":
    sys.exit(main())
