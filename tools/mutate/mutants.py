"""The mutants of one C++ source: a light tokenizer and the operators that change its code.

The text is read as clang-format leaves it: a binary operator stands between spaces, a
template's angle brackets and a call's parenthesis stand against the name before them. Nothing
is changed inside comments, preprocessor lines (#include among them), raw strings or character
literals, nor between the comment lines "// mutate: off" and "// mutate: on"; string literals
are changed only by the log-line operator.
"""

import re
from bisect import bisect_right
from dataclasses import dataclass

# The calls whose string literals are log lines or messages, and the variables (`*error =`,
# `fault =`) that the generator's messages are assigned to.
LOG_CALLS = {"SDL_Log", "printf", "fprintf", "report", "fail"}
LOG_SINKS = {"error", "fault"}

KEYWORDS = set("""alignas alignof asm auto bool break case catch char char8_t char16_t char32_t
class co_await co_return co_yield concept const consteval constexpr constinit const_cast
continue decltype default delete do double dynamic_cast else enum explicit export extern false
float for friend goto if inline int long mutable namespace new noexcept nullptr operator
private protected public register reinterpret_cast requires return short signed sizeof static
static_assert static_cast struct switch template this thread_local throw true try typedef
typeid typename union unsigned using virtual void volatile wchar_t while""".split())
# Keywords that may stand just before a call: the call is an expression there.
BEFORE_EXPRESSION = {"return", "case", "else", "throw", "co_return", "new", "delete"}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
OPENERS = {"(": ")", "[": "]", "{": "}"}
PUNCTUATORS = sorted(""">>= <<= <=> ->* ... :: -> ++ -- << >> <= >= == != && || += -= *= /= %=
&= |= ^= .* ## { } [ ] ( ) ; : , . ? ~ ! + - * / % ^ & | = < > #""".split(), key=len,
                     reverse=True)

TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^ ()\\\t\n]{0,16})\(.*?\)(?P=delim)")
  | (?P<string>(?:u8|u|U|L)?"(?:[^"\\\n]|\\.)*")
  | (?P<char>(?:u8|u|U|L)?'(?:[^'\\\n]|\\.)*')
  | (?P<ident>[A-Za-z_]\w*)
  | (?P<number>\.?[0-9](?:[eEpP][+-]|['\w.])*)
  | (?P<punct>""" + "|".join(re.escape(p) for p in PUNCTUATORS) + r""")
  | (?P<other>.)""", re.S | re.X)
INTEGER = re.compile(r"(0[xX][0-9a-fA-F']+|[1-9][0-9']*|0)([uUlLzZ]*)")
LITERAL = re.compile(r"-?(?:\.?[0-9][\w.']*|nullptr|true|false)")
FORMAT = re.compile(r"%[-+ #0]*(?:\*|\d+)?(?:\.(?:\*|\d+))?(?:hh|h|ll|l|j|z|t|L)?[a-zA-Z%]?")
PREPROCESSOR = re.compile(r"#(?:[^\n\\]|\\.)*", re.S)
MARKER = re.compile(r"//\s*mutate:\s*(on|off)\b")


@dataclass
class Token:
    kind: str
    text: str
    start: int
    end: int
    spaced_before: bool
    spaced_after: bool


@dataclass
class Mutant:
    path: str
    line: int
    col: int
    op: str
    start: int
    end: int
    before: str
    after: str

    @property
    def name(self):
        """One line that names this mutant exactly: place, operator and change."""
        return f"{self.path}:{self.line}:{self.col} {self.op}: {shown(self.before)} -> " \
               f"{shown(self.after)}"

    def apply(self, text):
        return text[:self.start] + self.after + text[self.end:]


def shown(code, limit=70):
    code = " ".join(code.split())
    return code if len(code) <= limit else code[:limit - 3] + "..."


def tokenize(text):
    """The code tokens of text, and the numbers of the lines that mutate markers switch off."""
    tokens, off_lines, off_since, at_line_start, pos = [], set(), None, True, 0
    while pos < len(text):
        match = TOKEN.match(text, pos)
        kind, word = match.lastgroup, match.group()
        if kind == "delim":
            kind = "raw"
        if kind == "space":
            at_line_start = at_line_start or "\n" in word
        elif at_line_start and word == "#":  # a preprocessor line, continued by backslashes
            pos = PREPROCESSOR.match(text, pos).end()
            continue
        elif kind == "comment":
            marker = MARKER.match(word)
            if marker and marker.group(1) == "off":
                off_since = off_since or line_of(text, pos)
            elif marker and off_since:
                off_lines.update(range(off_since, line_of(text, pos) + 1))
                off_since = None
        else:
            at_line_start = False
            before = pos == 0 or text[pos - 1].isspace()
            after = match.end() == len(text) or text[match.end()].isspace()
            tokens.append(Token(kind, word, pos, match.end(), before, after))
        pos = match.end()
    if off_since:
        off_lines.update(range(off_since, text.count("\n") + 2))
    return tokens, off_lines


def line_of(text, pos):
    return text.count("\n", 0, pos) + 1


class Source:
    """One file's text and tokens, with what the operators ask of them."""

    def __init__(self, path, text):
        self.path, self.text = path, text
        self.tokens, self.off_lines = tokenize(text)
        self.tokens.append(Token("end", "", len(text), len(text), True, True))
        self.line_starts = [0] + [m.end() for m in re.finditer("\n", text)]
        self.partner, self.enclosing, self.head = {}, [], []
        stack, head = [], 0
        for i, t in enumerate(self.tokens):
            self.enclosing.append(stack[-1] if stack else None)
            self.head.append(head)
            if t.text in OPENERS:
                stack.append(i)
            elif t.text in OPENERS.values() and stack and \
                    OPENERS[self.tokens[stack[-1]].text] == t.text:
                self.partner[stack[-1]], self.partner[i] = i, stack[-1]
                stack.pop()
            if t.text in (";", "{", "}"):
                head = i + 1

    def position(self, pos):
        line = bisect_right(self.line_starts, pos)
        return line, pos - self.line_starts[line - 1] + 1

    def code_lines(self):
        """The lines holding code that is not switched off: the file's size."""
        lines = {self.position(t.start)[0] for t in self.tokens[:-1]}
        return len(lines - self.off_lines)

    def mutant(self, op, first, last, after):
        start, end = self.tokens[first].start, self.tokens[last].end
        line, col = self.position(start)
        return Mutant(self.path, line, col, op, start, end, self.text[start:end], after)

    def span(self, first, last):
        return self.text[self.tokens[first].start:self.tokens[last].end]

    def template_open(self, i):
        t = self.tokens[i]
        before = self.tokens[i - 1] if i else None
        return t.text == "<" and before is not None and (
            before.text == "template" or before.kind == "ident" and not t.spaced_before)

    def template_end(self, i):
        """The index after the '>' that closes the template '<' at i."""
        depth = 0
        while self.tokens[i].kind != "end":
            t = self.tokens[i]
            if t.text in OPENERS and i in self.partner:
                i = self.partner[i]
            elif t.text == "<":
                depth += 1
            elif t.text in (">", ">>") and not t.spaced_before:
                depth -= len(t.text)
                if depth <= 0:
                    return i + 1
            elif t.text in (";", ")", "]", "}"):
                return None
            i += 1
        return None

    def statement_end(self, i):
        """The index of the ';' that ends the statement holding i at its own depth."""
        while self.tokens[i].kind != "end":
            text = self.tokens[i].text
            if text == ";":
                return i
            if text in OPENERS:
                if i not in self.partner:
                    return None
                i = self.partner[i]
            elif text in OPENERS.values():
                return None
            i += 1
        return None

    def statement_start(self, i):
        """Whether a statement may start at i: after ';', a brace, a label or a control head."""
        before = self.tokens[i - 1].text if i else ";"
        if before in (";", "{", "}", "else"):
            return True
        if before == ")" and i - 1 in self.partner:
            opener = self.partner[i - 1]
            return opener > 0 and self.tokens[opener - 1].text in ("if", "for", "while")
        return before == ":" and self.tokens[self.head[i - 1]].text in ("case", "default")

    def postfix_end(self, i):
        """After a name at i and its '::', '.', '->', subscripts, calls and template arguments:
        the index past them, and whether the last was a call."""
        i, called = i + 1, False
        while True:
            text = self.tokens[i].text
            if text in ("::", ".", "->") and self.tokens[i + 1].kind == "ident":
                i, called = i + 2, False
            elif text in ("(", "[") and i in self.partner:
                i, called = self.partner[i] + 1, text == "("
            elif self.template_open(i) and self.template_end(i):
                i = self.template_end(i)
            else:
                return i, called

    def expression_statement(self, i):
        """The index of the ';' of a call or an assignment starting at i, else None."""
        while self.tokens[i].text in ("*", "++", "--"):
            i += 1
        t = self.tokens[i]
        if t.kind != "ident" or t.text in KEYWORDS - {"this"}:
            return None
        i, called = self.postfix_end(i)
        text = self.tokens[i].text
        if text == ";" and called:
            return i
        if text in ("++", "--") and self.tokens[i + 1].text == ";":
            return i + 1
        if text in ASSIGNMENTS:
            return self.statement_end(i)
        return None

    def callee(self, i):
        """Whether the name at i, before '(', is called (not declared or defined)."""
        t = self.tokens[i]
        if t.kind != "ident" or t.text in KEYWORDS or self.tokens[i + 1].spaced_before:
            return False
        while i >= 2 and self.tokens[i - 1].text == "::" and self.tokens[i - 2].kind == "ident":
            i -= 2
        before = self.tokens[i - 1] if i else Token("", ";", 0, 0, True, True)
        if before.text in (".", "->"):
            return True
        if before.text in ("*", "&", "&&") and not before.spaced_after and i >= 2:
            before = self.tokens[i - 2]  # a pointer or reference declarator, or a dereference
            return not (before.kind == "ident" and before.text not in BEFORE_EXPRESSION)
        if before.kind == "ident":
            return before.text in BEFORE_EXPRESSION
        return not (before.text in (">", ">>") and not before.spaced_before)

    def arguments(self, opener):
        """The arguments of the call whose '(' is at opener, as (first, last) token indices."""
        args, first, angle, i = [], opener + 1, 0, opener + 1
        close = self.partner[opener]
        while i < close:
            t = self.tokens[i]
            if t.text in OPENERS and i in self.partner:
                i = self.partner[i]
            elif self.template_open(i):
                angle += 1
            elif t.text in (">", ">>") and not t.spaced_before and angle:
                angle = max(0, angle - len(t.text))
            elif t.text == "," and not angle:
                args.append((first, i - 1))
                first = i + 1
            i += 1
        if first < close:
            args.append((first, close - 1))
        return args

    def in_log_line(self, i):
        opener = self.enclosing[i]
        while opener is not None and self.tokens[opener].text != "(":
            opener = self.enclosing[opener]
        if opener and self.tokens[opener - 1].text in LOG_CALLS:
            return True
        head = self.head[i] + (self.tokens[self.head[i]].text == "*")
        return self.tokens[head].text in LOG_SINKS and self.tokens[head + 1].text in ASSIGNMENTS


def boundary(src, i, t):
    swaps = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
    if t.text in swaps and (t.text in ("<=", ">=") or t.spaced_before and t.spaced_after):
        yield src.mutant("boundary", i, i, swaps[t.text])


def equality(src, i, t):
    if t.text in ("==", "!="):
        yield src.mutant("equality", i, i, "!=" if t.text == "==" else "==")


def logic(src, i, t):
    if t.text in ("&&", "||") and t.spaced_before and t.spaced_after:
        yield src.mutant("logic", i, i, "||" if t.text == "&&" else "&&")


def constant(src, i, t):
    match = INTEGER.fullmatch(t.text) if t.kind == "number" else None
    if not match or len(match.group(1)) > 1 and match.group(1)[0] == "0" and \
            match.group(1)[1] not in "xX":
        return  # not an integer, or an octal one
    digits, suffix = match.group(1).replace("'", ""), match.group(2)
    value = int(digits, 0)
    for changed in (value + 1, value - 1) if value else (1,):
        if digits[:2].lower() == "0x":
            shown_digits = digits[:2] + format(changed, "X" if digits[2:].isupper() else "x")
        else:
            shown_digits = str(changed)
        yield src.mutant("constant", i, i, shown_digits + suffix)


def statement(src, i, t):
    end = src.expression_statement(i) if src.statement_start(i) else None
    if end is not None:
        yield src.mutant("statement", i, end, "{}")


def returned(src, i, t):
    end = src.statement_end(i) if t.text == "return" else None
    if end is None or end == i + 1:
        return
    value = src.span(i + 1, end - 1)
    after = {"true": "false", "false": "true"}.get(value, "{}")
    # A zero already is what {} gives; a whole number is the constant operator's.
    if value not in ("{}", "nullptr", '""', "NULL") and not INTEGER.fullmatch(value.lstrip("-")):
        yield src.mutant("return", i + 1, end - 1, after)


def log_line(src, i, t):
    if t.kind != "string" or not src.in_log_line(i):
        return
    body_start = t.text.index('"') + 1
    pos = body_start
    while pos < len(t.text) - 1:
        c = t.text[pos]
        if c == "\\":
            pos += 2 + (len(re.match(r"[0-9a-fA-F]*", t.text[pos + 2:]).group())
                        if t.text[pos + 1] == "x" else 0)
        elif c == "%":
            pos += len(FORMAT.match(t.text, pos).group())
        elif c.isalpha():
            yield src.mutant("log", i, i, t.text[:pos] + c.swapcase() + t.text[pos + 1:])
            return
        else:
            pos += 1


def swap(src, i, t):
    if t.text != "(" or i == 0 or i not in src.partner or not src.callee(i - 1):
        return
    args = src.arguments(i)
    for (a_first, a_last), (b_first, b_last) in zip(args, args[1:]):
        a, b = src.span(a_first, a_last), src.span(b_first, b_last)
        # A string and another argument, or a literal and a name (mostly a pointer and a
        # number), would seldom build.
        strings = {"string", "raw", "char"} & {src.tokens[a_first].kind, src.tokens[b_first].kind}
        if a != b and not strings and bool(LITERAL.fullmatch(a)) == bool(LITERAL.fullmatch(b)):
            between = src.text[src.tokens[a_last].end:src.tokens[b_first].start]
            yield src.mutant("swap", a_first, b_last, b + between + a)


OPERATORS = [boundary, equality, logic, constant, statement, returned, log_line, swap]


def mutants(path, text):
    """Every mutant of the file, in the order of the text, and the file's size in code lines."""
    src = Source(path, text)
    found = []
    static_assert_end = -1
    for i, t in enumerate(src.tokens[:-1]):
        if t.text == "static_assert" and i + 1 in src.partner:
            static_assert_end = src.partner[i + 1]
        if i <= static_assert_end or src.position(t.start)[0] in src.off_lines:
            continue
        for operator in OPERATORS:
            found.extend(operator(src, i, t))
    return found, src.code_lines()
