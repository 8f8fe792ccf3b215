#!/usr/bin/env python3
"""Writes the script binding package from its registration table.

    gen_bindings.py --table T --manifest M --out DIR [--prefix tLua] [--parts N]

The table (script/bindings.tbl) lists every registration in the order the opening makes it; see
the head of that file for the row forms. The manifest gives the expected count of each group; a
table that differs from it fails the build, naming the group. Output (deterministic): DIR/<prefix>
Types.cpp, DIR/<prefix>Open.cpp and DIR/<prefix>Part<k>.cpp, each rewritten only when its text
changes, so that ccache and the build keep what did not change.
"""

import argparse
import os
import re
import sys

NUMBER_TYPES = {
    'int', 'unsigned', 'unsigned int', 'long', 'unsigned long', 'long long', 'unsigned long long', 'short',
    'unsigned short', 'size_t', 'int64_t', 'uint64_t', 'int32_t', 'uint32_t', 'float', 'double', 'char',
    'unsigned char', 'intptr_t',
}
TEXT_TYPES = {'wxString': 'wx', 'std::string': 'std', 'std::wstring': 'wstd'}


class TableError(Exception):
    pass


# Where each line of the joined table came from ("file:line"), set by expand_imports.
ORIGINS = []


def where(line_no):
    if ORIGINS and 0 < line_no <= len(ORIGINS):
        return ORIGINS[line_no - 1][0] + ':' + str(ORIGINS[line_no - 1][1])
    return f'line {line_no}'


def fail(line_no, msg):
    raise TableError(f'{where(line_no)}: {msg}' if line_no else msg)


def expand_imports(path, seen=None):
    """The table's lines with every 'import <file>' row (a path relative to the importing file)
    replaced by that file's lines; ORIGINS gets each line's file and line number."""
    seen = seen or []
    if os.path.abspath(path) in seen:
        raise TableError(f"{path} imports itself")
    lines, origins = [], []
    with open(path, encoding='utf-8') as f:
        own = f.read().splitlines()
    name = os.path.basename(path)
    for n, raw in enumerate(own, 1):
        m = re.match(r'^\s*import\s+(\S+)\s*(#.*)?$', raw)
        if m:
            sub = os.path.join(os.path.dirname(path), m.group(1))
            if not os.path.exists(sub):
                raise TableError(f"{name}:{n}: imported table '{m.group(1)}' does not exist")
            sl, so = expand_imports(sub, seen + [os.path.abspath(path)])
            lines += sl
            origins += so
        else:
            lines.append(raw)
            origins.append((name, n))
    return lines, origins


def split_top(text, sep=','):
    parts, depth, cur, quote = [], 0, '', None
    for ch in text:
        # a default such as L',' or "a, b" keeps its separators
        if quote:
            if ch == quote and not cur.endswith('\\'):
                quote = None
            cur += ch
            continue
        if ch in '\'"':
            quote = ch
        elif ch in '<([':
            depth += 1
        elif ch in '>)]':
            depth -= 1
        if ch == sep and depth == 0:
            parts.append(cur)
            cur = ''
        else:
            cur += ch
    if cur.strip():
        parts.append(cur)
    return [p.strip() for p in parts]


def c_string(text):
    """text as a C string literal."""
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


def std_spelling(name):
    """The C++ type of a registered name of a standard container with no type of its own given:
    'vector<string>' is std::vector<std::string>."""
    s = re.sub(r'(?<![:\w])(vector|set|pair|map)\s*<', r'std::\1<', name)
    return re.sub(r'(?<![:\w])string(?!\w)', 'std::string', s)


def split_tags(text):
    """'decl @a @b=c d' -> ('decl', {'a': True, 'b': 'c d'})."""
    pieces = re.split(r'\s@(?=[a-z])', ' ' + text)
    body = pieces[0].strip()
    tags = {}
    for p in pieces[1:]:
        key, _, value = p.partition('=')
        tags[key.strip()] = value.strip() if value else True
    return body, tags


class CType:
    """A C++ type as a parameter, result, field or global uses it."""

    def __init__(self, spelling):
        s = ' '.join(spelling.replace('*', ' * ').replace('&', ' & ').split())
        self.spelling = spelling.strip()
        self.ref = s.endswith('&')
        if self.ref:
            s = s[:-1].strip()
        self.ptr = s.endswith('*')
        if self.ptr:
            s = s[:-1].strip()
        if s.endswith('*'):
            raise TableError(f"pointer to pointer '{spelling}'")
        self.const = False
        if s.startswith('const '):
            self.const, s = True, s[6:].strip()
        if s.endswith(' const'):
            self.const, s = True, s[:-6].strip()
        self.base = re.sub(r'\s+\*', '*', s.replace(' >', '>').replace('< ', '<'))  # vector<tcNode*>
        self.kind = None  # void, bool, number, text, cstring, wcstring, userdata, object
        self.lua = None  # registered name for objects

    def resolve(self, gen, line_no):
        b = self.base
        if b == 'void':
            self.kind = 'userdata' if self.ptr else 'void'
        elif b == 'bool' and not self.ptr:
            self.kind = 'bool'
        elif (b in NUMBER_TYPES or b in gen.integers) and not self.ptr and b != 'char':
            self.kind = 'number'
        elif b == 'char' and self.ptr and self.const:
            self.kind = 'cstring'
        elif b == 'wchar_t' and self.ptr and self.const:
            self.kind = 'wcstring'
        elif b in TEXT_TYPES and not self.ptr:
            self.kind = 'text'
        elif b in gen.cpp_to_name or re.sub(r'\s+', '', b) in gen.cpp_to_name:
            self.kind, self.lua = 'object', gen.cpp_to_name.get(b) or gen.cpp_to_name[re.sub(r'\s+', '', b)]
        else:
            fail(line_no, f"type '{self.spelling}' is neither a registered name nor a number, boolean or text type")
        return self

    @property
    def out(self):  # a non-const reference: its value after the call is a result too
        return self.ref and not self.const and self.kind in ('bool', 'number', 'text', 'object')

    def check_name(self):
        if self.kind != 'object':
            return None
        return ('const ' + self.lua) if (self.const or not (self.ptr or self.ref)) else self.lua


class Param:
    def __init__(self, text, gen, line_no):
        decl, _, default = text.partition('=')
        decl = decl.strip()
        m = re.match(r'^(.*?)([A-Za-z_]\w*)$', decl)
        if not m or not m.group(1).strip() or m.group(1).strip() in ('const', 'unsigned'):
            fail(line_no, f"parameter '{text}' needs a type and a name")
        self.ctype = CType(m.group(1)).resolve(gen, line_no)
        self.name = m.group(2)
        self.default = default.strip() or None
        if self.ctype.kind == 'void':
            fail(line_no, 'a void parameter')


class Function:
    """One registration of a function: a member, a static member, a global or a constructor."""

    def __init__(self, kind, decl, tags, gen, line_no, cls=None):
        self.kind, self.tags, self.cls, self.line_no = kind, tags, cls, line_no
        self.const = False
        self.static = False
        if kind == 'new':
            m = re.match(r'^new\s*\((.*)\)\s*;?$', decl)
            if not m:
                fail(line_no, f"constructor row '{decl}'")
            self.name, self.result, params = 'new', None, m.group(1)
        else:
            m = re.match(r'^(static\s+)?(.+?)\s*\b([A-Za-z_]\w*)\s*\((.*)\)\s*(const)?\s*;?$', decl)
            if not m:
                fail(line_no, f"not a declaration: '{decl}'")
            self.static = bool(m.group(1))
            self.result = CType(m.group(2)).resolve(gen, line_no)
            self.name, params, self.const = m.group(3), m.group(4), bool(m.group(5))
        params = params.strip()
        self.params = [] if params in ('', 'void') else [Param(p, gen, line_no) for p in split_top(params)]
        for t in ('neutral', 'unsupported'):
            if t in tags and 'call' in tags:
                fail(line_no, f"@{t} and @call together")
        if self.result is not None and self.result.kind == 'object' and not (self.result.ptr or self.result.ref):
            # checked once the whole table is read: the collector may come from a later class row
            gen.by_value.append((line_no, self.name, self.result.lua))


class Field:
    def __init__(self, decl, tags, gen, line_no, is_global):
        m = re.match(r'^(.+?)\s*\b([A-Za-z_]\w*)\s*;?$', decl)
        if not m:
            fail(line_no, f"field row '{decl}'")
        self.ctype = CType(m.group(1)).resolve(gen, line_no)
        self.name, self.readonly, self.line_no, self.is_global = m.group(2), 'ro' in tags, line_no, is_global
        refuse = tags.get('refuse')
        if refuse is True or (isinstance(refuse, str) and not refuse.strip('"')):
            fail(line_no, "@refuse needs the reason an assignment is refused")
        self.refuse = refuse.strip('"') if isinstance(refuse, str) else None
        if self.refuse is not None and self.readonly:
            fail(line_no, "@refuse and @ro together")
        if self.ctype.ref:
            fail(line_no, 'a reference field')


class ClassDef:
    def __init__(self, lua, cpp, name, base, tags, line_no):
        self.lua, self.cpp, self.name, self.base, self.tags, self.line_no = lua, cpp, name, base, tags, line_no
        self.items = []  # ('func', Function) | ('field', Field) | ('delete', None) | ('class', ClassDef)
        self.collector = 'collector' in tags
        self.vector_of = None


class Generator:
    def __init__(self, prefix):
        self.prefix = prefix
        self.includes = []
        self.integers = set()
        self.types = []  # registered names in order
        self.cpp_to_name = {}
        self.name_to_cpp = {}
        self.collected = set()
        self.type_collect = []  # opaque names with a collector of their own
        self.rows = []  # top-level: ('const', group, name, value) | ('func', Function) | ('var', Field) | ('class', ClassDef)
        self.groups = []
        self.by_value = []  # (line, function, registered name) of results returned by value

    # ---- parsing ---------------------------------------------------------------------------------
    def parse(self, lines):
        stack = []
        group = None
        for n, raw in enumerate(lines, 1):
            line = raw.split('#', 1)[0].strip() if not raw.lstrip().startswith('include') else raw.strip()
            if not line:
                continue
            word, _, rest = line.partition(' ')
            rest = rest.strip()
            body, tags = split_tags(rest)
            if stack and word not in ('end', 'class', 'vector', 'field', 'delete', 'func', 'var') \
                    and not line.startswith('new'):
                decl, mtags = split_tags(line)
                stack[-1].items.append(('func', Function('method', decl, mtags, self, n, stack[-1])))
            elif word == 'include':
                self.includes.append(rest)
            elif word == 'integer':
                self.integers.add(rest)
            elif word == 'type':
                name, _, cpp = body.partition('=')
                name, cpp = name.strip(), (cpp.strip() or std_spelling(name.strip()))
                if name in self.name_to_cpp:
                    fail(n, f"type '{name}' registered twice")
                self.types.append(name)
                self.name_to_cpp[name] = cpp
                self.cpp_to_name[cpp] = name
                self.cpp_to_name.setdefault(name, name)
                # rows may space their types as they like: "std::vector<tcEntry *>"
                self.cpp_to_name.setdefault(re.sub(r'\s+', '', cpp), name)
                self.cpp_to_name.setdefault(re.sub(r'\s+', '', name), name)
                if 'collect' in tags:
                    self.collected.add(name)
                    self.type_collect.append(name)
            elif word == 'group':
                group = body
                if group in self.groups:
                    fail(n, f"group '{group}' twice")
                self.groups.append(group)
            elif word == 'const':
                m = re.match(r'^([A-Za-z_]\w*)\s+(-?\d+)$', body)
                if not m or group is None:
                    fail(n, f"constant row '{body}' (needs a name, an integer value and a group)")
                self.rows.append(('const', group, m.group(1), int(m.group(2)), n))
            elif word in ('class', 'vector'):
                self.parse_class(word, body, tags, n, stack)
            elif word == 'end':
                if not stack:
                    fail(n, "'end' without a class")
                stack.pop()
            elif word in ('new', 'delete', 'field', 'method') or (stack and word not in ('func', 'var')):
                if not stack:
                    fail(n, f"'{word}' outside a class")
                cls = stack[-1]
                if word == 'new' or line.startswith('new(') or line.startswith('new ('):
                    cls.items.append(('func', Function('new', line.split('@')[0].strip(), tags, self, n, cls)))
                elif word == 'delete':
                    cls.items.append(('delete', n))
                elif word == 'field':
                    cls.items.append(('field', Field(body, tags, self, n, False)))
                else:
                    decl, mtags = split_tags(line[len('method'):].strip() if word == 'method' else line)
                    cls.items.append(('func', Function('method', decl, mtags, self, n, cls)))
            elif word == 'func':
                if stack:
                    fail(n, "'func' inside a class")
                self.rows.append(('func', Function('global', body, tags, self, n)))
            elif word == 'var':
                if stack:
                    fail(n, "'var' inside a class")
                self.rows.append(('var', Field(body, tags, self, n, True)))
            else:
                fail(n, f"unknown row '{word}'")
        if stack:
            fail(stack[-1].line_no, f"class '{stack[-1].lua}' has no 'end'")
        for line_no, name, lua in self.by_value:
            if lua not in self.collected:
                fail(line_no, f"'{name}' returns '{lua}' by value, which has no collector")

    def parse_class(self, word, body, tags, n, stack):
        if word == 'vector':
            m = re.match(r'^([A-Za-z_]\w*)\s+(\S+)$', body)
            if not m:
                fail(n, f"vector row '{body}' (Lua name, registered name)")
            lua, name = m.group(1), m.group(2)
            base = ''
        else:
            m = re.match(r'^([A-Za-z_]\w*)\s*(?::\s*(\S+))?$', body)
            if not m:
                fail(n, f"class row '{body}'")
            lua, base = m.group(1), m.group(2) or ''
            name = tags.get('name', lua) if isinstance(tags.get('name'), str) else lua
        if name not in self.name_to_cpp:
            fail(n, f"class '{lua}' names type '{name}', which is not registered")
        if base and base not in self.name_to_cpp:
            fail(n, f"base '{base}' of '{lua}' is not registered")
        cls = ClassDef(lua, self.name_to_cpp[name], name, base, tags, n)
        if word == 'vector':
            m = re.match(r'^(?:std::)?vector<(.+)>$', cls.cpp)
            if not m:
                fail(n, f"'{name}' is no vector type")
            elem = CType(m.group(1)).resolve(self, n)
            cls.vector_of = elem
            cls.collector = True
        if cls.collector:
            self.collected.add(name)
        if stack:
            stack[-1].items.append(('class', cls))
        else:
            self.rows.append(('class', cls))
        if word == 'class':
            stack.append(cls)

    # ---- counting --------------------------------------------------------------------------------
    def file_of(self, row):
        line_no = row[4] if row[0] == 'const' else row[1].line_no
        return ORIGINS[line_no - 1][0] if ORIGINS and 0 < line_no <= len(ORIGINS) else None

    def counts(self, only_file=None):
        c = {'types': len(self.types) if only_file is None else 0, 'constants': 0, 'classes': 0, 'functions': 0, 'global functions': 0,
             'global function names': 0, 'variables': 0, 'fields': 0, 'globals': 0, 'collectors': 0,
             'delete': 0, 'constructor classes': 0, 'vector classes': 0,
             'forwarding rows': 0, 'neutral rows': 0, 'unsupported rows': 0}
        for g in self.groups:
            c['constants ' + g] = 0
        gnames = set()

        def count_kind(fn):
            # a function row's kind: it calls something, gives the neutral result, or raises
            kind = 'unsupported' if 'unsupported' in fn.tags else 'neutral' if 'neutral' in fn.tags else 'forwarding'
            c[kind + ' rows'] += 1

        def count_class(cls):
            c['classes'] += 1
            c['collectors'] += cls.collector
            if cls.vector_of is not None:
                c['vector classes'] += 1
                c['functions'] += 10
                c['delete'] += 1
                c['constructor classes'] += 1
                return
            has_new = False
            for kind, item in cls.items:
                if kind == 'func':
                    c['functions'] += 3 if item.kind == 'new' else 1
                    count_kind(item)
                    has_new = has_new or item.kind == 'new'
                elif kind == 'delete':
                    c['functions'] += 1
                    c['delete'] += 1
                elif kind == 'field':
                    c['variables'] += 1
                    c['fields'] += 1
                elif kind == 'class':
                    count_class(item)
            c['constructor classes'] += has_new

        for row in self.rows:
            if only_file is not None and self.file_of(row) != only_file:
                continue
            if row[0] == 'const':
                c['constants'] += 1
                c['constants ' + row[1]] += 1
            elif row[0] == 'func':
                c['functions'] += 1
                c['global functions'] += 1
                count_kind(row[1])
                gnames.add(row[1].name)
            elif row[0] == 'var':
                c['variables'] += 1
                c['globals'] += 1
            elif row[0] == 'class':
                count_class(row[1])
        c['global function names'] = len(gnames)
        return c

    def check_manifest(self, manifest_lines):
        counts = self.counts()
        errors = []
        for n, raw in enumerate(manifest_lines, 1):
            line = raw.split('#', 1)[0].strip()
            if not line:
                continue
            m = re.match(r'^(?:([\w.-]+\.tbl):\s*)?(.+?)\s+(\d+)(\s+pending)?$', line)
            if not m:
                raise TableError(f'manifest line {n}: expected "[<file>:] <group> <count> [pending]"')
            file, group, want, pending = m.group(1), m.group(2), int(m.group(3)), bool(m.group(4))
            if pending:
                continue
            have = counts if file is None else self.counts(file)
            if group not in have:
                raise TableError(f"manifest line {n}: unknown group '{group}'")
            if have[group] != want:
                label = f"{file}: group '{group}'" if file else f"group '{group}'"
                errors.append(f"{label}: the table has {have[group]}, the manifest says {want}")
        if errors:
            raise TableError('registration table differs from the manifest:\n  ' + '\n  '.join(errors))

    # ---- output ----------------------------------------------------------------------------------
    def ident(self, *parts):
        return '_'.join(re.sub(r'\W', '_', p) for p in parts if p)

    def emit(self, parts):
        out = {}
        out[self.prefix + 'Types.cpp'] = self.emit_types()
        chunks = [[] for _ in range(parts)]
        # Contiguous runs of rows, balanced by weight, keep the registration order across files.
        weights = [self.weight(r) for r in self.rows]
        total = sum(weights) or 1
        acc, k = 0, 0
        for row, w in zip(self.rows, weights):
            if acc >= total * (k + 1) / parts and k < parts - 1:
                k += 1
            chunks[k].append(row)
            acc += w
        for i, rows in enumerate(chunks):
            out[f'{self.prefix}Part{i}.cpp'] = self.emit_part(i, rows)
        out[self.prefix + 'Open.cpp'] = self.emit_open(parts)
        return out

    def weight(self, row):
        if row[0] == 'class':
            return 1 + len(row[1].items) * 4
        return 1 if row[0] == 'const' else 4

    def header(self):
        lines = ['// Generated by tools/gen_bindings.py from the registration table. Do not edit.', '',
                 '#include "script/tolua_wrap.h"', '#include "script/tolua_vector.h"', '', '#include <map>',
                 '#include <set>', '#include <string>', '#include <utility>', '#include <vector>', '']
        lines += [f'#include "{inc}"' for inc in self.includes]
        lines += ['', '#include <exception>', '#include <new>', '', 'using namespace tolua_wrap;', '']
        return lines

    def emit_types(self):
        L = ['// Generated by tools/gen_bindings.py from the registration table. Do not edit.', '',
             '#include "script/tolua.h"', '', '#include <map>', '#include <set>', '#include <string>', '#include <utility>',
             '#include <vector>', '']
        L += [f'#include "{inc}"' for inc in self.includes]
        L += ['']
        for name in self.type_collect:
            cpp = self.name_to_cpp[name]
            L += [f'static int {self.ident("collect", name)}(lua_State* L)', '{',
                  f'    auto* p = static_cast<{cpp}*>(tolua_tousertype(L, 1, nullptr));', '    tolua_released(p);',
                  '    delete p;', '    return 0;', '}', '']
        L += [f'void {self.prefix}RegisterTypes(lua_State* L)', '{']
        L += [f'    tolua_usertype(L, "{t}");' for t in self.types]
        for name in self.type_collect:
            L += [f'    tolua_typecollector(L, "{name}", {self.ident("collect", name)});']
        L += ['}', '']
        return '\n'.join(L)

    def emit_open(self, parts):
        L = ['// Generated by tools/gen_bindings.py from the registration table. Do not edit.', '',
             '#include "script/tolua.h"', '']
        L += [f'#include "{inc}"' for inc in self.includes]
        L += ['', '// Each constant is the library\'s enumerator of that name.']
        for row in self.rows:
            if row[0] == 'const':
                L.append(f'static_assert(static_cast<long long>({row[2]}) == {row[3]}LL, "{row[2]}");')
        derived = [c for c in self.all_classes() if c.base]
        L += ['', '// A box holds one address for every type of its class chain: each bound class must start',
              '// with its bound base. Returns false and the class when one does not.',
              f'bool {self.prefix}CheckLayouts(const char** pszClass)', '{']
        for c in derived:
            b = self.name_to_cpp[c.base]
            L += ['    {', f'        alignas({c.cpp}) static unsigned char storage[sizeof({c.cpp})];',
                  f'        auto* p = reinterpret_cast<{c.cpp}*>(storage);',
                  f'        if (static_cast<void*>(static_cast<{b}*>(p)) != static_cast<void*>(p))', '        {',
                  f'            *pszClass = "{c.lua}";', '            return false;', '        }', '    }']
        L += ['    (void)pszClass;', '    return true;', '}']
        L += ['', f'void {self.prefix}RegisterTypes(lua_State* L);']
        L += [f'void {self.prefix}RegisterPart{i}(lua_State* L);' for i in range(parts)]
        L += ['', f'int {self.prefix}OpenBindings(lua_State* L)', '{', '    tolua_open(L);',
              f'    {self.prefix}RegisterTypes(L);', '    tolua_module(L, nullptr, 1);', '    tolua_beginmodule(L, nullptr);']
        L += [f'    {self.prefix}RegisterPart{i}(L);' for i in range(parts)]
        L += ['    tolua_endmodule(L);', '    return 1;', '}', '']
        return '\n'.join(L)

    def emit_part(self, index, rows):
        self.out = self.header()
        self.reg = []
        self.chains = {}  # (module, name) -> previous body
        for row in rows:
            if row[0] == 'const':
                self.reg.append(f'    tolua_constant_integer(L, "{row[2]}", {row[3]});')
            elif row[0] == 'func':
                self.emit_function(row[1], None, 'global')
            elif row[0] == 'var':
                self.emit_field(row[1], None)
            elif row[0] == 'class':
                self.emit_class(row[1], '')
        self.out += [f'void {self.prefix}RegisterPart{index}(lua_State* L)', '{']
        self.out += self.reg or ['    (void)L;']
        self.out += ['}', '']
        return '\n'.join(self.out)

    # A class: collector, hooks, then its members in order.
    def emit_class(self, cls, outer):
        cid = self.ident(outer, cls.lua)
        cpp = cls.cpp
        if cls.vector_of is not None:
            elem = cls.vector_of
            elem_name = f'"{elem.lua}"' if elem.kind == 'object' else 'nullptr'
            self.out += [f'struct Tr_{cid}', '{', f'    using V = {cpp};', f'    static constexpr const char* kType = "{cls.name}";',
                         f'    static constexpr const char* kConstType = "const {cls.name}";',
                         f'    static constexpr const char* kLuaName = "{cls.lua}";',
                         f'    static constexpr const char* kElemType = {elem_name};', '};', '']
            self.reg.append(f'    VectorClass<Tr_{cid}>::Register(L);')
            return
        owner = cls.tags.get('owner')
        col = 'nullptr'
        if cls.collector:
            col = f'collect_{cid}'
            # Scripts reach the collector through the class table too: a box of another class is
            # not this class's to delete.
            self.out += [f'static int {col}(lua_State* L)', '{', '    tolua_Error err;',
                         f'    if (!tolua_isusertype(L, 1, "const {cls.name}", 0, &err))', '        return 0;',
                         f'    auto* p = static_cast<{cpp}*>(tolua_tousertype(L, 1, nullptr));']
            if isinstance(owner, str):
                self.out += [f'    if (!p || ({owner}))', '        return 0; // its owner destroys it']
            self.out += ['    tolua_released(p);', '    delete p;', '    return 0;', '}', '']
        hooks = []
        if isinstance(owner, str):
            self.out += [f'static bool hasowner_{cid}(void* pv)', '{', f'    auto* p = static_cast<{cpp}*>(pv);',
                         f'    return {owner};', '}', '']
            hooks.append(f'hasowner_{cid}')
        else:
            hooks.append('nullptr')
        if 'polymorphic' in cls.tags:
            root = cls
            root_cpp = self.root_cpp(cls)
            self.out += [f'static bool isa_{cid}(void* p)', '{',
                         f'    return dynamic_cast<{cpp}*>(static_cast<{root_cpp}*>(p)) != nullptr;', '}', '']
            hooks.append(f'isa_{cid}')
        else:
            hooks.append('nullptr')
        self.out += [f'static const tolua_ClassHooks hooks_{cid}{{{hooks[0]}, {hooks[1]}}};', '']
        self.reg.append(f'    tolua_cclass(L, "{cls.lua}", "{cls.name}", "{cls.base}", {col});')
        self.reg.append(f'    tolua_classhooks(L, "{cls.name}", &hooks_{cid});')
        self.reg.append(f'    tolua_beginmodule(L, "{cls.lua}");')
        for kind, item in cls.items:
            if kind == 'func':
                self.emit_function(item, cls, cid)
            elif kind == 'delete':
                self.emit_delete(cls, cid)
            elif kind == 'field':
                self.emit_field(item, cls)
            elif kind == 'class':
                self.emit_class(item, cid)
        self.reg.append('    tolua_endmodule(L);')

    def root_cpp(self, cls):
        name = cls.name
        while True:
            base = None
            for row_cls in self.all_classes():
                if row_cls.name == name:
                    base = row_cls.base
            if not base:
                return self.name_to_cpp[name]
            name = base

    def all_classes(self):
        def walk(cls):
            yield cls
            for kind, item in cls.items:
                if kind == 'class':
                    yield from walk(item)
        for row in self.rows:
            if row[0] == 'class':
                yield from walk(row[1])

    def emit_delete(self, cls, cid):
        body = f'b_{cid}_delete'
        owner = cls.tags.get('owner')
        L = [f'static int {body}(lua_State* L)', '{', '    tolua_Error err;',
             f'    if (!tolua_isusertype(L, 1, "{cls.name}", 0, &err) || !tolua_isnoobj(L, 2, &err))',
             '        return Fail(L, "#ferror in function \'delete\'.", &err);',
             f'    auto* p = static_cast<{cls.cpp}*>(tolua_tousertype(L, 1, nullptr));', '    if (!p)',
             '        return FailText(L, "invalid \'self\' in function \'delete\'");', '    try', '    {']
        if isinstance(owner, str):
            removal = cls.tags.get('ownerdelete')
            L += [f'        if ({owner})', '        {']
            if isinstance(removal, str):
                L += [f'            {removal};', '            return 0;']
            else:
                what = cls.tags.get('ownerremoval', 'its owner')
                L += [f'            return FailText(L, "\'delete\' refused: the object belongs to its owner; use {what}");']
            L += ['        }']
        L += ['        tolua_released(p);', '        delete p;', '    }', '    catch (const std::exception& e)', '    {',
              '        return FailException(L, "delete", e.what());', '    }',
              '    return 0;', '}',
              f'static int w_{cid}_delete(lua_State* L)', '{', f'    return Finish(L, {body}(L));', '}', '']
        self.out += L
        self.reg.append(f'    tolua_function(L, "delete", w_{cid}_delete);')

    def check_expr(self, ctype, lo, has_default):
        d = 1 if has_default else 0
        k = ctype.kind
        if k == 'bool':
            return f'tolua_isboolean(L, {lo}, {d}, &err)'
        if k == 'number':
            return f'tolua_isnumber(L, {lo}, {d}, &err)'
        if k in ('text', 'cstring', 'wcstring'):
            return f'tolua_isstring(L, {lo}, {d}, &err)'
        if k == 'userdata':
            return f'tolua_isuserdata(L, {lo}, {d}, &err)'
        return f'tolua_isusertype(L, {lo}, "{ctype.check_name()}", {d}, &err)'

    def emit_function(self, fn, cls, cid):
        module = cid or 'global'
        lua_name = fn.name
        key = (module, lua_name)
        n = self.chains.get(key, (None, 0))[1]
        body = f'b_{self.ident(module, lua_name)}_{n:02d}'
        prev = self.chains.get(key, (None, 0))[0]
        fail_err = f'return {prev}(L);' if prev else f'return Fail(L, "#ferror in function \'{lua_name}\'.", &err);'
        L = [f'static int {body}(lua_State* L)', '{', '    tolua_Error err;',
             '    if (!lua_checkstack(L, 16))', '        return FailText(L, "stack overflow");']
        checks = []
        lo = 1
        is_member = cls is not None and fn.kind == 'method' and not fn.static
        if fn.kind == 'new' or (cls is not None and fn.static):
            checks.append(f'tolua_isusertable(L, 1, "{cls.name}", 0, &err)')
            lo = 2
        elif is_member:
            checks.append(f'tolua_isusertype(L, 1, "{("const " if fn.const else "") + cls.name}", 0, &err)')
            lo = 2
        first = lo
        for p in fn.params:
            checks.append(self.check_expr(p.ctype, lo, p.default is not None))
            lo += 1
        checks.append(f'tolua_isnoobj(L, {lo}, &err)')
        L += ['    if (!(' + ' &&\n          '.join(checks) + '))', f'        {fail_err}']
        # nil has no object to pass by value or reference
        for i, p in enumerate(fn.params):
            if p.ctype.kind == 'object' and not p.ctype.ptr:
                idx = first + i
                cond = f'lua_isnil(L, {idx})' if p.default is None else f'(!Missing(L, {idx}) && lua_isnil(L, {idx}))'
                L += [f'    if ({cond} || (!Missing(L, {idx}) && !tolua_tousertype(L, {idx}, nullptr)))', '    {',
                      f'        err.index = {idx};', '        err.array = 0;', f'        err.type = "{p.ctype.check_name()}";',
                      f'        {fail_err}', '    }']
        if is_member:
            const = 'const ' if fn.const else ''
            L += [f'    auto* self = static_cast<{const}{cls.cpp}*>(tolua_tousertype(L, 1, nullptr));', '    if (!self)',
                  f'        return FailText(L, "invalid \'self\' in function \'{lua_name}\'");']
        # @argtypes=<member>: untyped arguments must be boxes of the class the member names for
        # their 1-based position (no check where it names none), as the receivers will read them
        argtypes = fn.tags.get('argtypes')
        if isinstance(argtypes, str) and is_member:
            for i, p in enumerate(fn.params):
                if p.ctype.kind == 'userdata':
                    idx = first + i
                    L += ['    {', f'        const char* szType = self->{argtypes}({i + 1});',
                          f'        if (szType && !lua_isnoneornil(L, {idx}) && !tolua_isusertype(L, {idx}, szType, 0, &err))',
                          f'            {fail_err}', '    }']
        L += ['    try', '    {']
        self._current = lua_name
        for i, p in enumerate(fn.params):
            idx = first + i
            L += self.convert_param(p, idx, fail_err)
        if 'unsupported' in fn.tags or 'neutral' in fn.tags:
            # the arguments are checked and converted, and then not used
            L += [f'        (void)a{first + i};' for i in range(len(fn.params))]
        if 'unsupported' in fn.tags:
            L += [f'        return FailText(L, "\'{lua_name}\' is not supported by this build");']
        else:
            L += self.call_and_push(fn, cls, is_member)
        L += ['    }', '    catch (const std::exception& e)', '    {',
              f'        return FailException(L, "{lua_name}", e.what());', '    }', '    catch (...)', '    {',
              f'        return FailException(L, "{lua_name}", nullptr);', '    }', '}']
        if fn.kind == 'new':
            L += [f'static int w_{body}(lua_State* L)', '{', f'    return Finish(L, {body}(L, false));', '}',
                  f'static int w_{body}_local(lua_State* L)', '{', f'    return Finish(L, {body}(L, true));', '}', '']
            # constructors take the "local" flag: patch the signature
            L[0] = f'static int {body}(lua_State* L, bool bLocal)'
            if prev:
                L = [line.replace(f'return {prev}(L);', f'return {prev}(L, bLocal);') for line in L]
            self.reg += [f'    tolua_function(L, "new", w_{body});', f'    tolua_function(L, "new_local", w_{body}_local);',
                         f'    tolua_function(L, ".call", w_{body}_local);']
        else:
            L += [f'static int w_{body}(lua_State* L)', '{', f'    return Finish(L, {body}(L));', '}', '']
            self.reg.append(f'    tolua_function(L, "{lua_name}", w_{body});')
        self.out += L
        self.chains[key] = (body, n + 1)

    def convert_param(self, p, idx, fail_err):
        t, v = p.ctype, f'a{idx}'
        d = p.default
        if t.kind == 'bool':
            return [f'        bool {v} = tolua_toboolean(L, {idx}, {1 if d in ("true", "1") else 0}) != 0;']
        if t.kind == 'number':
            return [f'        {t.base} {v}{{}};',
                    f'        if (!ToNumber<{t.base}>(L, {idx}, {d if d else "{}"}, &{v}, &err))',
                    f'            return Fail(L, "#ferror in function \'{self._current}\'.", &err);']
        if t.kind == 'text':
            fn = {'wx': 'ToWxString', 'std': 'ToStdString', 'wstd': 'ToWxString'}[TEXT_TYPES[t.base]]
            dv = d if d else ('wxString()' if t.base == 'wxString' else f'{t.base}()')
            conv = f'{fn}(L, {idx}, {dv})' + ('.ToStdWstring()' if t.base == 'std::wstring' else '')
            return [f'        {t.base} {v} = {conv};']
        if t.kind == 'cstring':
            return [f'        const char* {v} = ToCString(L, {idx}, {d if d else "nullptr"});']
        if t.kind == 'wcstring':
            # the text lives in its own wxString for the call; nil or a missing argument takes the
            # default (the empty text without one)
            dv = d if d else 'L""'
            return [f'        const wxString s{idx} = ToWxString(L, {idx}, wxString());',
                    f'        const wchar_t* {v} = (Missing(L, {idx}) || lua_isnil(L, {idx})) ? {dv} : s{idx}.wc_str();']
        if t.kind == 'userdata':
            return [f'        void* {v} = tolua_touserdata(L, {idx}, {d if d else "nullptr"});']
        cpp = self.name_to_cpp[t.lua]
        const = 'const ' if t.const else ''
        if t.ptr:
            return [f'        auto* {v} = static_cast<{const}{cpp}*>(tolua_tousertype(L, {idx}, {d if d else "nullptr"}));']
        if d:
            return [f'        const {cpp} d{idx} = {d};',
                    f'        auto* {v} = Missing(L, {idx}) ? &d{idx} : static_cast<{const}{cpp}*>(tolua_tousertype(L, {idx}, nullptr));']
        return [f'        auto* {v} = static_cast<{const}{cpp}*>(tolua_tousertype(L, {idx}, nullptr));']

    def call_and_push(self, fn, cls, is_member):
        first = 2 if (cls is not None and (fn.kind == 'new' or fn.static or is_member)) else 1
        exprs = []
        for i, p in enumerate(fn.params):
            v = f'a{first + i}'
            t = p.ctype
            if t.kind == 'object' and not t.ptr:
                exprs.append(f'*{v}')
            elif t.kind == 'object' and t.ptr and not t.const:
                exprs.append(f'const_cast<{self.name_to_cpp[t.lua]}*>({v})')
            else:
                exprs.append(v)
        arglist = ', '.join(exprs)
        L = []
        if fn.kind == 'new':
            L += [f'        auto* p = new {cls.cpp}({arglist});', '        if (bLocal)',
                  f'            tolua_pushusertype_and_takeownership(L, p, "{cls.name}");', '        else', '        {',
                  f'            tolua_pushusertype(L, p, "{cls.name}");', '            tolua_markmade(L, p);',
                  '        }', '        return 1;']
            return L
        if 'neutral' in fn.tags:
            call = None
        elif isinstance(fn.tags.get('call'), str):
            target = fn.tags['call']
            call = f'{target}(' + ', '.join((['self'] if is_member else []) + exprs) + ')'
        elif is_member:
            call = f'self->{fn.name}({arglist})'
        elif cls is not None:
            call = f'{cls.cpp}::{fn.name}({arglist})'
        else:
            call = f'{fn.name}({arglist})'
        r = fn.result
        nres = 0
        if r.kind == 'void':
            if call:
                L.append(f'        {call};')
        elif call is None:
            L.append(self.neutral_push(r))
            nres = 1
        else:
            L += self.push_result(r, call, fn)
            nres = 1
        for i, p in enumerate(fn.params):
            if p.ctype.out:
                v = f'a{first + i}'
                if p.ctype.kind == 'object':
                    L.append(f'        tolua_pushusertype(L, {v}, "{p.ctype.lua}");')
                else:
                    L.append(f'        Push(L, {v});')
                nres += 1
        L.append(f'        return {nres};')
        return L

    def neutral_push(self, r):
        if r.kind == 'bool':
            return '        lua_pushboolean(L, 0);'
        if r.kind == 'number':
            return '        lua_pushinteger(L, 0);'
        if r.kind in ('text', 'cstring', 'wcstring'):
            return '        lua_pushstring(L, "");'
        return '        lua_pushnil(L);'

    def push_result(self, r, call, fn):
        if r.kind in ('bool', 'number', 'text'):
            if r.kind == 'number' and r.base not in NUMBER_TYPES:
                return [f'        const auto r = {call};', '        Push(L, r);']
            return [f'        const {r.base} r = {call};', '        Push(L, r);']
        if r.kind == 'cstring':
            return [f'        tolua_pushstring(L, {call});']
        if r.kind == 'wcstring':
            return [f'        const wchar_t* r = {call};', '        Push(L, wxString(r ? r : L""));']
        if r.kind == 'userdata':
            return [f'        tolua_pushuserdata(L, const_cast<void*>(static_cast<const void*>({call})));']
        name = ('const ' + r.lua) if r.const else r.lua
        cpp = self.name_to_cpp[r.lua]
        if r.ptr:
            push = 'tolua_pushusertype_and_takeownership' if 'owned' in fn.tags else 'tolua_pushusertype'
            return [f'        {push}(L, const_cast<{cpp}*>({call}), "{name}");']
        if r.ref:
            return [f'        tolua_pushusertype(L, const_cast<{cpp}*>(&({call})), "{name}");']
        return [f'        auto* r = new {cpp}({call});', f'        tolua_pushusertype_and_takeownership(L, r, "{r.lua}");']

    def emit_field(self, f, cls):
        cid = self.ident(cls.lua if cls else 'global', f.name)
        t = f.ctype
        getter, setter = f'get_{cid}', f'set_{cid}'
        if cls:
            target = f'self->{f.name}'
            # The accessors are reachable from scripts through the class table too, with any value
            # as self: a box of another class must not be read as this one.
            L = [f'static int gb_{cid}(lua_State* L)', '{', '    tolua_Error err;',
                 f'    if (!tolua_isusertype(L, 1, "const {cls.name}", 0, &err))',
                 f'        return FailText(L, "invalid \'self\' in accessing variable \'{f.name}\'");',
                 f'    auto* self = static_cast<{cls.cpp}*>(tolua_tousertype(L, 1, nullptr));', '    if (!self)',
                 f'        return FailText(L, "invalid \'self\' in accessing variable \'{f.name}\'");']
        else:
            target = f.name
            L = [f'static int gb_{cid}(lua_State* L)', '{']
        L += ['    try', '    {']
        if t.kind in ('bool', 'number', 'text'):
            L += [f'        Push(L, {target});']
        elif t.kind == 'cstring':
            L += [f'        tolua_pushstring(L, {target});']
        elif t.kind == 'wcstring':
            L += [f'        Push(L, wxString({target} ? {target} : L""));']
        elif t.ptr:
            L += [f'        tolua_pushusertype(L, const_cast<{self.name_to_cpp[t.lua]}*>({target}), "{t.lua}");']
        elif cls:
            L += [f'        tolua_pushusertype_part(L, &{target}, "{t.lua}", 1);']
        else:
            L += [f'        tolua_pushusertype(L, &{target}, "{t.lua}");']
        L += ['    }', '    catch (const std::exception& e)', '    {',
              f'        return FailException(L, "{f.name}", e.what());', '    }', '    return 1;', '}',
              f'static int {getter}(lua_State* L)', '{', f'    return Finish(L, gb_{cid}(L));', '}', '']
        self.out += L
        if f.readonly:
            self.reg.append(f'    tolua_variable(L, "{f.name}", {getter}, nullptr);')
            return
        if f.refuse is not None:
            # an assignment raises and changes nothing
            text = c_string(f"'{f.name}' cannot be assigned: {f.refuse}")
            self.out += [f'static int {setter}(lua_State* L)', '{', f'    return Finish(L, FailText(L, {text}));', '}', '']
            self.reg.append(f'    tolua_variable(L, "{f.name}", {getter}, {setter});')
            return
        L = [f'static int sb_{cid}(lua_State* L)', '{', '    tolua_Error err;']
        if cls:
            L += [f'    if (!tolua_isusertype(L, 1, "const {cls.name}", 0, &err))',
                  f'        return FailText(L, "invalid \'self\' in accessing variable \'{f.name}\'");',
                  f'    auto* self = static_cast<{cls.cpp}*>(tolua_tousertype(L, 1, nullptr));', '    if (!self)',
                  f'        return FailText(L, "invalid \'self\' in accessing variable \'{f.name}\'");']
        check = self.check_expr(t, 2, False)
        L += [f'    if (!{check})', '        return Fail(L, "#vinvalid type in variable assignment.", &err);']
        if t.kind == 'object' and not t.ptr:
            L += ['    if (!tolua_tousertype(L, 2, nullptr))', '    {', '        err.index = 2;',
                  f'        err.type = "{t.check_name()}";',
                  '        return Fail(L, "#vinvalid type in variable assignment.", &err);', '    }']
        L += ['    try', '    {']
        if t.kind == 'bool':
            L += [f'        {target} = lua_toboolean(L, 2) != 0;']
        elif t.kind == 'number':
            L += [f'        {t.base} v{{}};', f'        if (!ToNumber<{t.base}>(L, 2, {{}}, &v, &err))',
                  '            return Fail(L, "#vinvalid type in variable assignment.", &err);', f'        {target} = v;']
        elif t.kind == 'text':
            fn = 'ToStdString' if t.base == 'std::string' else 'ToWxString'
            L += [f'        {target} = {fn}(L, 2, {t.base}());']
        elif t.kind in ('cstring', 'wcstring'):
            fail(f.line_no, f"text field '{f.name}' held as a pointer cannot be assigned; mark it @ro")
        elif t.ptr:
            L += [f'        {target} = static_cast<{self.name_to_cpp[t.lua]}*>(tolua_tousertype(L, 2, nullptr));']
        else:
            L += [f'        {target} = *static_cast<const {self.name_to_cpp[t.lua]}*>(tolua_tousertype(L, 2, nullptr));']
        L += ['    }', '    catch (const std::exception& e)', '    {',
              f'        return FailException(L, "{f.name}", e.what());', '    }', '    return 0;', '}',
              f'static int {setter}(lua_State* L)', '{', f'    return Finish(L, sb_{cid}(L));', '}', '']
        self.out += L
        self.reg.append(f'    tolua_variable(L, "{f.name}", {getter}, {setter});')


def write_if_changed(path, text):
    try:
        with open(path, encoding='utf-8') as f:
            if f.read() == text:
                return
    except OSError:
        pass
    tmp = path + '.tmp'
    with open(tmp, 'w', encoding='utf-8') as f:
        f.write(text)
    os.replace(tmp, path)


def generate(table_lines, manifest_lines, prefix, parts):
    gen = Generator(prefix)
    gen.parse(table_lines)
    if manifest_lines is not None:
        gen.check_manifest(manifest_lines)
    return gen.emit(parts)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--table', required=True)
    ap.add_argument('--manifest')
    ap.add_argument('--out', required=True)
    ap.add_argument('--prefix', default='tLua')
    ap.add_argument('--parts', type=int, default=4)
    args = ap.parse_args(argv)
    try:
        table, origins = expand_imports(args.table)
    except TableError as e:
        print(f'{args.table}: {e}', file=sys.stderr)
        return 1
    ORIGINS[:] = origins
    manifest = None
    if args.manifest:
        with open(args.manifest, encoding='utf-8') as f:
            manifest = f.read().splitlines()
    try:
        files = generate(table, manifest, args.prefix, max(1, args.parts))
    except TableError as e:
        print(f'{args.table}: {e}', file=sys.stderr)
        return 1
    os.makedirs(args.out, exist_ok=True)
    for name, text in sorted(files.items()):
        write_if_changed(os.path.join(args.out, name), text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
