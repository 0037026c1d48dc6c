"""The lessons of the "Touch typing for beginners" course (US QWERTY), as data.

make_beginners_course.py writes the course files from this; make_beginners_pictures.py
draws the lesson pictures. Every word and sentence of a lesson may use only the keys
learnt up to that lesson; the writer refuses to write a course where one does not.

A lesson is either a new-key lesson ("keys" set) or a review of what came before.
  words     words for the word drill; in a new-key lesson each holds a new key
  sentences lines of the sentence drill, each typed as one line
  key_lines extra lines for the key drill (groups of at most five chunks)
  about     the paragraphs of the lesson page
  tip       the tip at the foot of the lesson page
"""

# Finger, home key and the way from it, for every key the course teaches.
FINGERS = {
    "a": ("left little finger", "a", ""), "s": ("left ring finger", "s", ""),
    "d": ("left middle finger", "d", ""), "f": ("left index finger", "f", ""),
    "j": ("right index finger", "j", ""), "k": ("right middle finger", "k", ""),
    "l": ("right ring finger", "l", ""), ";": ("right little finger", ";", ""),
    "e": ("left middle finger", "d", "up"), "i": ("right middle finger", "k", "up"),
    "r": ("left index finger", "f", "up"), "u": ("right index finger", "j", "up"),
    "t": ("left index finger", "f", "up and to the right"),
    "o": ("right ring finger", "l", "up"),
    "g": ("left index finger", "f", "to the right"),
    "h": ("right index finger", "j", "to the left"),
    "n": ("right index finger", "j", "down and to the left"),
    "w": ("left ring finger", "s", "up"),
    "c": ("left middle finger", "d", "down"),
    "m": ("right index finger", "j", "down"),
    "y": ("right index finger", "j", "up and to the left"),
    "p": ("right little finger", ";", "up"),
    "b": ("left index finger", "f", "down and to the right"),
    "v": ("left index finger", "f", "down"),
    "q": ("left little finger", "a", "up"),
    "x": ("left ring finger", "s", "down"),
    "z": ("left little finger", "a", "down"),
    ".": ("right ring finger", "l", "down"),
    ",": ("right middle finger", "k", "down"),
    "'": ("right little finger", ";", "to the right"),
    "?": ("right little finger", ";", "down"),
    "1": ("left little finger", "a", "up two rows"),
    "2": ("left ring finger", "s", "up two rows"),
    "3": ("left middle finger", "d", "up two rows"),
    "4": ("left index finger", "f", "up two rows"),
    "5": ("left index finger", "f", "up two rows and to the right"),
    "6": ("right index finger", "j", "up two rows and to the left"),
    "7": ("right index finger", "j", "up two rows"),
    "8": ("right middle finger", "k", "up two rows"),
    "9": ("right ring finger", "l", "up two rows"),
    "0": ("right little finger", ";", "up two rows"),
}

LEFT_HAND = set("qwertasdfgzxcvb12345")


def pair_lines(keys):
    """Key-drill groups for new letter keys: each from its home key, then together."""
    homes = [FINGERS[k][1] for k in keys]
    four = (keys * 2)[:max(4, len(keys))]
    sandwiches = [h + k + h for h, k in zip(homes, keys)] * 2
    lines = [" ".join(k * 3 for k in four), " ".join(sandwiches[:4])]
    if len(keys) == 2:
        a, b = keys
        lines.append(f"{a}{b} {b}{a} {a}{b} {b}{a}")
        lines.append(f"{homes[0]}{a} {homes[1]}{b} {a}{homes[0]} {b}{homes[1]}")
    else:
        lines.append(" ".join(a + b for a, b in zip(keys, keys[1:] + keys[:1])))
    return lines


LESSONS = [
    {
        "title": "The home row",
        "sub": "Eight keys where your fingers rest, and the space bar.",
        "keys": "asdfjkl;",
        "key_lines": [
            "fff jjj fff jjj", "ddd kkk ddd kkk", "sss lll sss lll", "aaa ;;; aaa ;;;",
            "fj jf fj jf", "dk kd sl ls", "a; ;a fa; ja;", "asdf jkl; asdf jkl;",
            "fad lad sad dad", "all ask fall salad",
        ],
        "words": ["a", "as", "ad", "add", "adds", "ads", "all", "ask", "asks", "sad", "dad",
                  "dads", "lad", "lads", "fall", "falls", "fad", "fads", "flask", "flasks",
                  "salad", "salads", "salsa", "lass", "alas", "alfalfa"],
        "sentences": [
            "a sad lad asks dad", "dad adds a salad", "a lass asks a lad", "all lads ask dad",
            "a flask falls", "dad falls; a lad asks", "alas; a salad falls", "a lad adds salsa",
            "dads ask; lads add", "all flasks fall",
        ],
        "about": [
            "Put the fingers of your left hand on <b>A S D F</b> and those of your right hand "
            "on <b>J K L ;</b>. Feel the small bumps on F and J: they bring your index fingers "
            "home without a look at the keys.",
            "Both thumbs rest on the space bar. At the end of a line press <b>Enter</b> with "
            "your right little finger, and come back to the home row.",
        ],
        "tip": "Keep your eyes on the screen, not on your hands. Slow and right is better "
               "than quick and wrong.",
    },
    {
        "title": "E and I",
        "sub": "The middle fingers reach up.",
        "keys": "ei",
        "key_lines": ["die lid kid sea", "like side idea", "see feel lake", "field desk life"],
        "words": ["see", "seed", "seeds", "sea", "seas", "said", "side", "sides", "slide",
                  "like", "likes", "liked", "lake", "lakes", "leaf", "leak", "idea", "ideas",
                  "ideal", "file", "files", "field", "fields", "deal", "deals", "desk", "desks",
                  "jade", "kid", "kids", "kiss", "lid", "lie", "lies", "life", "is", "if", "fee",
                  "feed", "feel", "feels", "fled", "less", "lease", "sale", "sales", "seal",
                  "seals", "self", "sell", "sells", "skill", "skills", "ski", "skis", "sled",
                  "slid", "safe", "deaf", "dial", "fade", "faded", "fail", "fake", "false",
                  "fill", "filled", "idle", "isle", "alike", "aisle", "ease", "else", "fiddle",
                  "kale", "ladies", "seek", "seeks", "silk", "sleek", "disk", "sailed"],
        "sentences": [
            "a kid likes a salad", "dad said a kid fell", "a leaf fell as a kid slid",
            "kids feel safe as dad sees", "a seal slides like a kid",
            "ask dad if all kids feel safe", "a lake is like a sea",
            "dad sells a desk; a kid sees", "all ladies like kale salad", "a kid sleds; dad skis",
        ],
        "about": [
            "<b>E</b> belongs to the left middle finger and <b>I</b> to the right middle "
            "finger. Reach up from D and K, press the key, and come back at once.",
            "The other fingers stay on the home row while one finger travels.",
        ],
        "tip": "Say the letters quietly as you type them: it helps your fingers remember.",
    },
    {
        "title": "R and U",
        "sub": "The index fingers reach up.",
        "keys": "ru",
        "key_lines": ["red fur rule", "sure read ride", "user ear far", "rural fuel dusk"],
        "words": ["red", "rule", "rules", "ruler", "sure", "fur", "fire", "fires", "free",
                  "freed", "dear", "dare", "dared", "dress", "drill", "ear", "ears", "far",
                  "fair", "fairs", "fear", "fears", "fuel", "full", "fuse", "read", "reads",
                  "reader", "real", "rear", "ride", "rides", "rider", "rise", "rises", "risk",
                  "rude", "rural", "sir", "air", "are", "user", "users", "use", "used", "jar",
                  "jars", "laser", "leader", "lure", "surf", "rare", "radar", "raise", "raised",
                  "dusk", "duel", "dull", "duke", "desire", "fries", "frail", "afraid",
                  "refer", "relief", "relied", "rid", "rake", "raked", "rail", "rails", "drier",
                  "dried", "arise", "refused", "juries"],
        "sentences": [
            "a red leaf fell as dad raked", "kids are sure a rule is fair",
            "a fair rule is a real relief", "dad reads as kids ride",
            "a rider rides far as dusk falls", "a user reads all rules",
            "fur is dear; silk is dearer", "dad is sure all kids are safe",
            "rural air feels free", "a kid refused a salad",
        ],
        "about": [
            "<b>R</b> is typed by the left index finger and <b>U</b> by the right index "
            "finger, one row up from F and J.",
            "Index fingers do the most work: each of them looks after two columns of keys.",
        ],
        "tip": "Keep your wrists low and relaxed, just above the keyboard, never resting on "
               "the desk while you type.",
    },
    {
        "title": "T and O",
        "sub": "A stretch for the left index and the right ring finger.",
        "keys": "to",
        "key_lines": ["to too toe lot", "tool foot old", "tour out toast", "lots just start"],
        "words": ["to", "too", "toe", "toes", "tie", "tied", "tire", "tired", "road", "roads",
                  "rod", "lot", "lots", "lost", "salt", "tail", "tails", "tale", "tales", "tilt",
                  "trail", "trails", "store", "stores", "stories", "star", "stars", "start",
                  "starts", "tree", "trees", "true", "trust", "tour", "tours", "out", "outside",
                  "look", "looks", "took", "food", "foot", "fool", "tool", "tools", "jot",
                  "joke", "jokes", "jolt", "kite", "kites", "let", "lets", "list", "lists",
                  "tea", "its", "it", "at", "odd", "old", "sold", "told", "fold", "folds",
                  "toad", "loud", "sour", "our", "four", "dust", "just", "rust", "toast",
                  "total", "tutor", "outdoor", "sofa", "door", "doors", "floor", "soft", "lift",
                  "little", "letter", "letters", "street", "state", "suit", "tide", "treat",
                  "date", "late", "later", "taste", "test", "tests", "stood", "stool", "radio",
                  "audio", "studio", "fruit", "fruits", "sort", "fort", "atlas", "east"],
        "sentences": [
            "it is too late to ask", "our tutor told us a joke",
            "a little kite lost its tail", "four old tools are stored outside",
            "a toad sat outside our door", "let us sit outside at dusk",
            "dad treats us to fruit tarts", "our store sold its last sofa",
            "it is just a little rust", "a lost letter lies outside",
        ],
        "about": [
            "<b>T</b> is the second key of the left index finger: up and a little to the "
            "right of F. <b>O</b> belongs to the right ring finger, one row up from L.",
            "With T and O you can type a great many real words already.",
        ],
        "tip": "Let each finger come back to its home key after every stroke.",
    },
    {
        "title": "Review: the first letters",
        "sub": "The home row with E, I, R, U, T and O.",
        "words": [],
        "sentences": [
            "a tourist asks us for a list of roads", "dad sets out fruit at four",
            "our tutor still reads old stories", "it is odd to sit outside so late",
            "a tired rider rests at a fort", "lots of sour fruit is for sale",
            "a kite floats so far out", "our sofa is too old for a studio",
            "let a kid taste a real tart", "a sailor sailed out to a far isle",
        ],
        "about": [
            "Time to bring together what you have learnt: thirteen letters and the "
            "semicolon. These words and sentences use only those keys.",
            "Aim for an even rhythm rather than speed: every keystroke the same length.",
        ],
        "tip": "When a key is hard, slow down on it instead of hurrying past it. The "
               "statistics will show you which keys need more work.",
    },
    {
        "title": "G and H",
        "sub": "The index fingers move in to the middle of the home row.",
        "keys": "gh",
        "key_lines": ["the she his her", "go got dog egg", "high light right", "huge hug shoe"],
        "words": ["the", "he", "she", "her", "his", "hi", "high", "light", "lights", "right",
                  "sight", "tight", "eight", "house", "horse", "horses", "hot", "hat", "hats",
                  "ghost", "shoe", "shoes", "fish", "dish", "shade", "good", "great", "girl",
                  "girls", "guitar", "sugar", "huge", "hug", "hugs", "goat", "goats", "grass",
                  "hill", "hills", "shell", "shells", "leg", "legs", "egg", "eggs", "frog",
                  "frogs", "flag", "flags", "glass", "gold", "golf", "ago", "go", "goes", "got",
                  "dog", "dogs", "hold", "holds", "hire", "hard", "heat", "hair", "rough",
                  "tough", "thought", "though", "other", "others", "this", "that", "these",
                  "those", "there", "their", "three", "through", "shore", "shirt", "shift",
                  "dash", "fresh", "shelf", "short", "shout", "gift", "gifts", "guess", "age",
                  "stage", "large", "garage", "together", "goldfish", "hour", "hours",
                  "gather", "father", "daughter", "forget", "forgot", "health", "south"],
        "sentences": [
            "the dog dug a hole far off", "she rode a horse to the hills",
            "a tall girl held a huge fish", "his goat ate the grass",
            "the light is too high for her", "she said the hut is too hot",
            "good food is a great delight", "three dogs sat at the door",
            "he told her a ghost tale", "her father sells eggs at the fair",
        ],
        "about": [
            "<b>G</b> is one key to the right of F and <b>H</b> one key to the left of J. "
            "Slide your index finger across, press, and slide back.",
            "Now you can type <i>the</i>, the most common word in English.",
        ],
        "tip": "Type common words such as <i>the</i> and <i>that</i> as one movement, not "
               "as single letters.",
    },
    {
        "title": "N and W",
        "sub": "Down with the right index finger, up with the left ring finger.",
        "keys": "nw",
        "key_lines": ["in on and an", "we was new now", "when what win", "town down own"],
        "words": ["and", "in", "on", "an", "not", "now", "new", "win", "wind", "window", "want",
                  "went", "when", "what", "where", "with", "without", "water", "work", "works",
                  "world", "was", "we", "week", "weeks", "snow", "town", "down", "own", "know",
                  "wonder", "winter", "kitten", "garden", "green", "night", "sign", "song",
                  "long", "wrong", "strong", "friend", "friends", "hand", "hands", "nest",
                  "noon", "nine", "ten", "tent", "lion", "wool", "wall", "walls", "wish", "wash",
                  "waste", "swan", "swans", "swing", "wait", "winner", "noise", "often",
                  "answer", "nothing", "until", "news", "tonight", "north", "known",
                  "flower", "flowers", "lawn", "wide", "wise", "west", "sweet", "writing",
                  "reading", "dinner", "sand", "wood", "woods", "grown", "owl", "owls"],
        "sentences": [
            "we went to the lake in the rain", "a new kitten is in the garden",
            "she sat with a friend at noon", "the wind was strong last night",
            "we want fish for dinner tonight", "ten swans float on the lake",
            "he washed his hands with hot water", "snow fell on the hills all night",
            "we waited in the sun for an hour", "the old owl knows the woods well",
        ],
        "about": [
            "<b>N</b> is down and to the left of J, for the right index finger. <b>W</b> is "
            "up from S, for the left ring finger.",
            "The ring fingers are the weakest: give W a little extra care.",
        ],
        "tip": "If you make a mistake, do not look down. Find the home row by the bumps on "
               "F and J and go on.",
    },
    {
        "title": "C and M",
        "sub": "The bottom row: left middle and right index finger.",
        "keys": "cm",
        "key_lines": ["come came me", "cat cold much", "make more mice", "much music each"],
        "words": ["come", "came", "home", "time", "more", "most", "much", "make", "made", "man",
                  "men", "milk", "music", "cat", "cats", "cold", "cook", "clock",
                  "cream", "cloud", "coat", "cake", "moment", "morning", "summer", "market",
                  "mind", "mice", "animal", "card", "care", "catch", "chair", "chance",
                  "change", "choice", "circle", "clean", "clear", "dance", "doctor",
                  "dream", "each", "face", "farm", "fact", "film", "school", "science",
                  "second", "since", "small", "smile", "some", "sometimes", "storm", "swim",
                  "team", "teacher", "uncle", "welcome", "women", "woman", "lemon", "melon",
                  "common", "comic", "camera", "cinema", "match", "mother", "class", "rice",
                  "nice", "ice", "cheese", "chicken", "kitchen", "lunch", "coffee", "drum"],
        "sentences": [
            "the cat came home in the storm", "we ate cake and drank cold milk",
            "come to the market at nine", "the teacher smiled at the class",
            "mother made a lemon cream", "the clock on the kitchen wall is slow",
            "some men swim in the cold sea", "each moment counts",
            "the children danced to the music", "a small cloud came from the north",
        ],
        "about": [
            "<b>C</b> is down from D, for the left middle finger. <b>M</b> is down from J, "
            "for the right index finger.",
            "Curl the finger a little to reach the bottom row; keep the hand still.",
        ],
        "tip": "Sit up straight, feet flat on the floor, with the screen at eye level.",
    },
    {
        "title": "Review: most of the letters",
        "sub": "Everything so far, with G, H, N, W, C and M.",
        "words": [],
        "sentences": [
            "the farmer milks his cows at dawn", "we can hear music in the hall",
            "she wrote a long letter to her aunt", "the moon is round and white tonight",
            "dinner is cooking in the kitchen", "a cold wind came down the mountain",
            "his old coat is warm and soft", "the tourists walked to the castle",
            "ten more minutes and the train comes", "she sings a sweet song at night",
        ],
        "about": [
            "Nineteen letters are yours now. This review mixes them all in words and "
            "sentences of everyday English.",
            "Try to read a whole word ahead before you type it.",
        ],
        "tip": "Short breaks help: after each exercise, drop your hands and shake them "
               "loose for a moment.",
    },
    {
        "title": "Y and P",
        "sub": "Up with the right index and the right little finger.",
        "keys": "yp",
        "key_lines": ["yes you yet", "up pay play", "happy puppy", "type park page"],
        "words": ["you", "your", "yes", "yet", "year", "years", "yellow", "play", "plays",
                  "park", "paper", "people", "party", "happy", "help", "pen", "open", "up",
                  "sleep", "keep", "step", "type", "typing", "pay", "day", "days", "may", "say",
                  "stay", "way", "only", "many", "any", "apple", "price", "place", "page",
                  "pretty", "plant", "simple", "sky", "story", "supply", "puppy", "empty",
                  "enjoy", "spring", "young", "today", "yesterday", "hope", "pool", "pink",
                  "purple", "shop", "ship", "trip", "map", "maps", "lady", "city", "family",
                  "friendly", "early", "easy", "picnic", "piano", "paint", "sunny", "rainy",
                  "windy", "pony", "typist", "speed", "spend", "sport", "they", "yard", "my"],
        "sentences": [
            "you may play in the park today", "they kept the puppy in the yard",
            "each day we type a little more", "put your pen on the paper",
            "the sky is pink and yellow tonight", "happy people enjoy simple things",
            "pick an apple from the tree", "stay with us for a day or two",
            "the pony trots up the sandy path", "my family has a picnic in spring",
        ],
        "about": [
            "<b>Y</b> is up and to the left of J, for the right index finger. <b>P</b> is "
            "up from the semicolon, for the right little finger.",
            "The little finger has a long way to P: stretch it, and keep the other fingers "
            "near home.",
        ],
        "tip": "Accuracy first: speed comes by itself once the keys are sure.",
    },
    {
        "title": "B and V",
        "sub": "The left index finger reaches down.",
        "keys": "bv",
        "key_lines": ["be by but big", "very have five", "above over love", "bring brave"],
        "words": ["be", "but", "by", "big", "boy", "boys", "book", "books", "bring", "brown",
                  "blue", "bread", "bird", "birds", "boat", "bus", "bike", "bikes", "about",
                  "above", "before", "behind", "best", "better", "voice", "very", "visit",
                  "view", "village", "valley", "have", "five", "give", "live", "love", "move",
                  "over", "never", "even", "every", "travel", "drive", "river", "seven",
                  "eleven", "brave", "silver", "oven", "glove", "beach", "ball", "basket",
                  "bottle", "table", "bed", "below", "between", "bright", "brother", "baby",
                  "because", "believe", "busy", "vote", "vivid", "heavy", "evening",
                  "everybody", "bubble", "habit", "harvest", "novel", "movie", "cover",
                  "clever", "violin", "vase", "lovely", "van"],
        "sentences": [
            "the boys love to ride their bikes", "we live by a big river",
            "seven birds sat above the barn", "bring a book for the bus ride",
            "her voice was soft but brave", "bake the bread in the oven for an hour",
            "never give up on a good habit", "the view over the valley is lovely",
            "my brother bought a blue van", "everybody helped to build the boat",
        ],
        "about": [
            "<b>V</b> is down from F and <b>B</b> down and to the right of it: both belong "
            "to the left index finger.",
            "B is a long reach. Let your hand move a little, then bring it back to F.",
        ],
        "tip": "Do not press the keys harder than you need. A light touch is faster and "
               "kinder to your hands.",
    },
    {
        "title": "Q, X and Z",
        "sub": "The last three letters: the left little and ring fingers.",
        "keys": "qxz",
        "key_lines": ["quit quiz quick", "six box fox mix", "zoo zero size", "exam lazy queen"],
        "words": ["quick", "quiet", "quite", "queen", "question", "square", "equal", "quiz",
                  "zoo", "zero", "size", "lazy", "crazy", "prize", "freeze", "amaze", "box",
                  "fox", "six", "mix", "next", "text", "exam", "example", "extra", "taxi",
                  "relax", "wax", "puzzle", "dozen", "breeze", "zebra", "squeeze", "exit",
                  "explain", "expect", "quarter", "quality", "liquid", "jazz", "pizza", "fizz",
                  "buzz", "frozen", "maze", "quote", "oxen", "mixer", "zipper", "fix"],
        "sentences": [
            "the quick brown fox jumps over the lazy dog", "six boxes of wax stood by the exit",
            "the queen asked a quiet question", "a cold breeze froze the lake",
            "mix the liquid in a square jar", "she won a prize in the quiz",
            "the zebra at the zoo is quite lazy", "we expect an extra taxi soon",
            "a dozen pizzas were frozen", "relax and enjoy the jazz",
        ],
        "about": [
            "<b>Q</b> is up from A and <b>Z</b> down from A, both for the left little "
            "finger. <b>X</b> is down from S, for the left ring finger.",
            "These letters are rare in English, so they get one lesson together.",
        ],
        "tip": "The first sentence holds every letter of the alphabet. Type it until it "
               "flows.",
    },
    {
        "title": "Review: all the letters",
        "sub": "Every letter from A to Z.",
        "words": [],
        "sentences": [
            "we visit the zoo every summer", "the brave explorer crossed the frozen river",
            "a quiet lake lies beyond the hills", "my uncle fixed the old clock",
            "the children played with a big yellow ball", "jump over the puddles on your way home",
            "she keeps her violin in a velvet box", "good friends make every journey better",
            "the kettle whistles when the water boils", "five quick zebras jumped the wide gap",
        ],
        "about": [
            "You know every letter of the keyboard now. This review mixes all of them.",
            "Watch the difficult-key statistics after this lesson: they show which letters "
            "to practise again.",
        ],
        "tip": "Keep going a few minutes every day. Short, regular practice beats one long "
               "session a week.",
    },
    {
        "title": "Capitals with right Shift",
        "sub": "Capitals of the left-hand letters.",
        "keys": "QWERTASDFGZXCVB",
        "key_lines": [
            "Aa Ss Dd Ff Gg", "Qq Ww Ee Rr Tt", "Zz Xx Cc Vv Bb", "Anna Sara Tom Ben",
            "Dan Fred Vera Zoe", "Grace Carl Emma Ted",
        ],
        "words": ["Anna", "Sara", "Tom", "Ben", "David", "Emma", "Greg", "Carl", "Grace", "Ted",
                  "Rosa", "Dan", "Fred", "Vera", "Zoe", "Walter", "Eva", "Carol", "Sam", "Adam",
                  "Gary", "Frank", "Rita", "Ruth", "Ellen", "Boston", "Dublin", "Egypt", "Texas",
                  "Africa", "Berlin", "Chicago", "Canada", "Denver", "Sweden", "Greece",
                  "Vienna", "Glasgow", "Atlanta", "Arizona", "Florida", "Georgia", "April",
                  "August", "Friday", "Saturday", "Sunday", "Tuesday", "Wednesday", "English",
                  "French", "German", "Spanish", "December", "February"],
        "sentences": [
            "Tom and Anna walked to the park", "Sara visits her aunt in Dublin",
            "We saw Grace at the market on Friday", "Ben and Fred play chess on Sundays",
            "The train to Boston leaves at noon", "Carol grew roses in her garden",
            "Zoe flew from Texas to Denver in April", "David reads books about Egypt",
            "Every Saturday Walter bakes bread", "Vera and Eva met in Vienna",
        ],
        "about": [
            "For a capital of a left-hand letter, hold the <b>right Shift</b> key with your "
            "right little finger, press the letter with your left hand, then let go of "
            "Shift.",
            "Always use the Shift key of the other hand: one hand holds, the other types.",
        ],
        "tip": "Let go of Shift before the next letter, or it becomes a capital too.",
    },
    {
        "title": "Capitals with left Shift",
        "sub": "Capitals of the right-hand letters.",
        "keys": "YUIOPHJKLNM",
        "key_lines": [
            "Hh Jj Kk Ll", "Yy Uu Ii Oo Pp", "Nn Mm Nn Mm", "I John Lisa Mary",
            "Kate Paul Nick Lucy", "Oslo Milan Lima York",
        ],
        "words": ["I", "John", "Lisa", "Mary", "Nick", "Oscar", "Paul", "Helen", "Kate", "Jack",
                  "Mike", "Lucy", "Olivia", "Peter", "Hannah", "Nora", "Mia", "Hugo", "Leo",
                  "Ivan", "Oliver", "Julia", "London", "Paris", "Madrid", "Japan", "Italy",
                  "Norway", "Kenya", "Peru", "Ireland", "Hungary", "Oslo", "Lima", "Milan",
                  "York", "Mexico", "India", "Ohio", "Utah", "Monday", "June", "July",
                  "November", "January", "March", "May", "October", "Italian"],
        "sentences": [
            "I met Kate in London on Monday", "Paul and Lucy flew to Japan in June",
            "Mary and John live in Oslo", "Helen and Mike went hiking in Norway",
            "Oliver keeps a diary in Italian", "Nick has a cousin in Peru",
            "In July Julia visited Ireland", "Hannah said I could borrow her pen",
            "Uncle Leo sails to Mexico in May", "You and I can meet in Paris",
        ],
        "about": [
            "For a capital of a right-hand letter, hold the <b>left Shift</b> key with your "
            "left little finger and press the letter with your right hand.",
            "Now the word <i>I</i> can be written as it should be.",
        ],
        "tip": "Keep the little finger on Shift only as long as the letter needs it.",
    },
    {
        "title": "Punctuation marks",
        "sub": "Period, comma, apostrophe and question mark.",
        "keys": ".,'?",
        "key_lines": [
            "l.l k,k l.l k,k", ";'; ;?; ;'; ;?;", "it's don't I'm", "yes, no. why?",
            "Tom's isn't we're", "so, then. who?",
        ],
        "words": ["it's", "don't", "I'm", "isn't", "we're", "you're", "can't", "won't",
                  "let's", "that's", "Tom's", "Anna's", "o'clock", "yes,", "no.", "why?",
                  "who?", "where?", "well,", "then.", "now.", "so,", "here.", "there?",
                  "okay.", "too.", "how?", "when?"],
        "sentences": [
            "Where are you going?", "It's a lovely day, isn't it?",
            "We met at noon, and then we walked home.", "Don't forget your keys.",
            "Tom's dog likes apples, carrots and bread.", "Is this seat free?",
            "I think it's going to rain.", "Sara, can you help me?",
            "Yes, we're almost there.", "Who wrote this letter?",
        ],
        "about": [
            "The <b>period</b> is down from L (right ring finger) and the <b>comma</b> down "
            "from K (right middle finger). The <b>apostrophe</b> is right of the semicolon, "
            "for the right little finger.",
            "The <b>question mark</b> is the key right of the period, with the left Shift "
            "key held: reach down with your right little finger.",
        ],
        "tip": "After a period or a question mark, type one space and a capital.",
    },
    {
        "title": "The digit row",
        "sub": "Ten digits, two rows up from the home row.",
        "keys": "1234567890",
        "key_lines": [
            "f4f f5f j6j j7j", "d3d k8k s2s l9l", "a1a ;0; a1a ;0;", "44 55 66 77",
            "33 88 22 99", "11 00 10 01", "12 34 56 78 90", "365 24 1984 2010",
        ],
        "words": ["1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "12", "15", "20", "24",
                  "30", "45", "50", "60", "99", "100", "365", "500", "1000", "1984", "2010",
                  "2024", "4th", "7th", "3rd", "21st"],
        "sentences": [
            "We need 24 chairs and 16 tables.", "The train leaves at 7 and arrives at 10.",
            "My grandmother was born in 1948.", "Room 305 is on the third floor.",
            "There are 365 days in a year.", "The shop opens at 9 and closes at 6.",
            "The match ended 3 to 2.", "Our school has 850 pupils.",
            "Add 17 and 28 to get 45.", "In 2010 we moved to a new town.",
        ],
        "about": [
            "Each digit belongs to the finger below it: <b>1</b> to the left little finger, "
            "<b>4</b> and <b>5</b> to the left index finger, <b>6</b> and <b>7</b> to the "
            "right index finger, <b>0</b> to the right little finger.",
            "The digit row is far from home. Reach up, press, and come straight back.",
        ],
        "tip": "Type numbers of two or more digits in one smooth run, as you type a word.",
    },
    {
        "title": "Final review",
        "sub": "Letters, capitals, punctuation and digits together.",
        "words": [],
        "sentences": [
            "Have you read the book, Anna?", "It's 8 o'clock, and the shop is closed.",
            "Jack's class has 27 pupils.", "Please write your name at the top.",
            "Which way is the station?", "On May 4 we planted 12 trees.",
            "Lucy, don't forget the tickets.", "The bus comes every 15 minutes.",
            "Quick, the film starts at 6.", "Well done. You can type every key now.",
        ],
        "text": [
            "Learning to type is like learning to ride a bike. At first you think about",
            "every movement, and then one day your fingers simply know the way. You have",
            "learnt all 26 letters, the capitals, the digits and the most common marks.",
            "Keep your eyes on the screen and your fingers on the home row. Practise for",
            "10 or 15 minutes a day, and your speed will grow week by week.",
        ],
        "about": [
            "Congratulations: you have learnt every key this course teaches. This last "
            "lesson brings them all together, and ends with a short text.",
            "From here, the Speed building course helps you type faster.",
        ],
        "tip": "Use touch typing every day, in e-mails and notes: that is how it sticks.",
    },
]
