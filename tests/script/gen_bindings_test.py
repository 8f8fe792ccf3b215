#!/usr/bin/env python3
"""Tests of tools/gen_bindings.py: a tiny table, its output, its refusals and the manifest."""

import importlib.util
import sys
import unittest

spec = importlib.util.spec_from_file_location('gen_bindings', sys.argv.pop(1) if len(sys.argv) > 1 else
                                              'tools/gen_bindings.py')
gen = importlib.util.module_from_spec(spec)
spec.loader.exec_module(gen)

TABLE = '''
include lib/Thing.h
integer teKind
type tcThing @collect
type tcPart
type opaque
group K_
const K_A 0
const K_B -3
func int Count(const tcThing* p = nullptr)
func int Count(const wxString& s, teKind e)
var double g_dZoom
class tcPart
  new(int n)
  delete
  int Get() const;
  tcThing Copy() const;
  field int m_n @ro
end
'''

MANIFEST = '''
types 3
constants 2
constants K_ 2
classes 1
functions 8
global functions 2
global function names 1
variables 2
delete 1
'''


def write(path, text):
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)


def run(table=TABLE, manifest=MANIFEST, parts=2):
    return gen.generate(table.splitlines(), None if manifest is None else manifest.splitlines(), 'tT', parts)


class Output(unittest.TestCase):
    def test_files_and_order(self):
        out = run()
        self.assertEqual(sorted(out), ['tTOpen.cpp', 'tTPart0.cpp', 'tTPart1.cpp', 'tTTypes.cpp'])
        types = out['tTTypes.cpp']
        self.assertLess(types.index('"tcThing"'), types.index('"tcPart"'))
        self.assertIn('tolua_typecollector(L, "tcThing"', types)
        opening = out['tTOpen.cpp']
        self.assertIn('static_assert(static_cast<long long>(K_B) == -3LL, "K_B");', opening)
        self.assertLess(opening.index('tTRegisterTypes(L);'), opening.index('tTRegisterPart0(L);'))
        body = out['tTPart0.cpp'] + out['tTPart1.cpp']
        # registration order follows the table; the overload chain falls back to the first form
        order = [body.index(s) for s in ('tolua_constant_integer(L, "K_A", 0)', 'tolua_function(L, "Count"',
                                        'tolua_variable(L, "g_dZoom"', 'tolua_cclass(L, "tcPart"')]
        self.assertEqual(order, sorted(order))
        self.assertIn('return b_global_Count_00(L);', body)
        self.assertIn("#ferror in function 'Count'.", body)
        self.assertIn('tolua_isusertype(L, 1, "const tcThing", 1, &err)', body)
        self.assertIn('tolua_isusertype(L, 1, "const tcPart", 0, &err)', body)  # const method
        self.assertIn('tolua_pushusertype_and_takeownership(L, r, "tcThing")', body)  # by value, owned
        self.assertIn('tolua_variable(L, "m_n", get_tcPart_m_n, nullptr);', body)  # read-only

    def test_deterministic(self):
        self.assertEqual(run(), run())

    def test_one_part(self):
        self.assertIn('tTPart0.cpp', run(parts=1))

    def test_rows_that_need_the_whole_table(self):
        # a by-value result whose collector comes from a later row; a container of pointers; a
        # neutral row with parameters (read, unused)
        table = ('type vector<tcPart*>\ntype tcPart\nfunc tcPart Make()\nfunc int Fill(vector<tcPart*>& v)\n'
                 'func bool Never(int n, const wxString& s) @neutral\nfunc void Later(int n) @unsupported\n'
                 'class tcPart @collector\nend')
        code = run(table, None, parts=1)['tTPart0.cpp']
        self.assertIn('static_cast<vector<tcPart*>*>', code)
        self.assertIn('(void)a1;', code)
        self.assertIn('(void)a2;', code)
        self.assertNotIn('Never(a1', code)
        self.assertEqual(code.count('(void)a1;'), 2)


class Rows(unittest.TestCase):
    def body(self, table):
        out = run(table, None, parts=1)
        return out['tTPart0.cpp']

    def test_container_names_are_standard_types(self):
        body = self.body('type vector<tcEntry*>\ntype vector<string>\ntype tcEntry\n'
                         'func int F(std::vector<tcEntry *>& a, const vector<string>& b)')
        self.assertIn('static_cast<std::vector<tcEntry*>*>(tolua_tousertype(L, 1, nullptr))', body)
        self.assertIn('static_cast<const std::vector<std::string>*>(tolua_tousertype(L, 2, nullptr))', body)
        self.assertIn('tolua_isusertype(L, 1, "vector<tcEntry*>", 0, &err)', body)
        self.assertIn('tolua_pushusertype(L, a1, "vector<tcEntry*>")', body)  # a reference result

    def test_defaults_keep_their_commas(self):
        body = self.body('integer wchar_t\nfunc wxString F(int n, wchar_t c = L\',\', const wxString& s = "a, b")')
        self.assertIn("ToNumber<wchar_t>(L, 2, L',', &a2, &err)", body)
        self.assertIn('ToWxString(L, 3, "a, b")', body)

    def test_wide_text_parameters(self):
        body = self.body('func void Say(const wchar_t* szText, const wchar_t* szTitle = nullptr)')
        self.assertIn('tolua_isstring(L, 1, 0, &err) &&\n          tolua_isstring(L, 2, 1, &err)', body)
        # nil or missing: the default, else the empty text; never a pointer into a freed string
        self.assertIn('(Missing(L, 1) || lua_isnil(L, 1)) ? L"" : s1.wc_str()', body)
        self.assertIn('(Missing(L, 2) || lua_isnil(L, 2)) ? nullptr : s2.wc_str()', body)

    def test_refused_assignment(self):
        body = self.body('type tcEvent\nvar tcEvent Evt_A @refuse=add handlers instead\nvar int g_n')
        setter = body[body.index('static int set_global_Evt_A'):]
        setter = setter[:setter.index('}')]
        self.assertIn('FailText(L, "\'Evt_A\' cannot be assigned: add handlers instead")', setter)
        self.assertNotIn('=', setter.replace('==', ''))  # nothing is assigned
        self.assertIn('tolua_variable(L, "Evt_A", get_global_Evt_A, set_global_Evt_A);', body)
        self.assertIn('tolua_variable(L, "g_n", get_global_g_n, set_global_g_n);', body)


class Refusals(unittest.TestCase):
    def refused(self, table, text):
        with self.assertRaises(gen.TableError) as cm:
            run(table, None)
        self.assertIn(text, str(cm.exception))

    def test_unknown_type(self):
        self.refused('type a\nfunc int F(std::map<int,int> m)', "neither a registered name")

    def test_by_value_without_collector(self):
        self.refused('type tcPart\nclass tcPart\nend\nfunc tcPart Make()', "has no collector")

    def test_unregistered_class(self):
        self.refused('class tcNothing\nend', "not registered")

    def test_missing_end(self):
        self.refused('type a\nclass a\n  int F();', "has no 'end'")

    def test_refusal_without_reason(self):
        self.refused('var int g_n @refuse', 'needs the reason')
        self.refused('var int g_n @refuse @ro', 'needs the reason')
        self.refused('var int g_n @refuse=no @ro', '@refuse and @ro together')

    def test_assigned_wide_text_global(self):
        self.refused('var const wchar_t* g_sz', 'cannot be assigned; mark it @ro')

    def test_constant_without_group(self):
        self.refused('const X 1', 'needs a name, an integer value and a group')


class Manifest(unittest.TestCase):
    def test_added_registration_names_the_group(self):
        with self.assertRaises(gen.TableError) as cm:
            run(TABLE + 'func void Extra()\n')
        self.assertIn("group 'functions': the table has 9, the manifest says 8", str(cm.exception))
        self.assertIn("group 'global function names'", str(cm.exception))

    def test_dropped_constant_names_the_group(self):
        with self.assertRaises(gen.TableError) as cm:
            run(TABLE.replace('const K_B -3\n', ''))
        self.assertIn("group 'constants K_': the table has 1, the manifest says 2", str(cm.exception))

    def test_pending_groups_are_not_checked(self):
        run(manifest=MANIFEST.replace('functions 8', 'functions 99 pending'))

    def test_command_line_fails(self):
        import os
        import tempfile
        with tempfile.TemporaryDirectory() as d:
            t, m = os.path.join(d, 't.tbl'), os.path.join(d, 'm')
            write(t, TABLE)
            write(m, MANIFEST.replace('types 3', 'types 4'))
            self.assertEqual(gen.main(['--table', t, '--manifest', m, '--out', d]), 1)
            write(m, MANIFEST)
            self.assertEqual(gen.main(['--table', t, '--manifest', m, '--out', d, '--prefix', 'x', '--parts', '1']), 0)
            self.assertTrue(os.path.exists(os.path.join(d, 'xOpen.cpp')))

    def test_imported_tables_are_counted_per_file_and_named_in_errors(self):
        import os
        import tempfile
        with tempfile.TemporaryDirectory() as d:
            os.makedirs(os.path.join(d, 'tables'))
            t, m = os.path.join(d, 't.tbl'), os.path.join(d, 'm')
            head, _, rest = TABLE.partition('func int Count(const tcThing* p = nullptr)')
            write(t, head + 'import tables/more.tbl\n')
            write(os.path.join(d, 'tables', 'more.tbl'), 'func int Count(const tcThing* p = nullptr)' + rest)
            write(m, MANIFEST + 'more.tbl: global functions 2\nmore.tbl: constants 0\nt.tbl: constants 2\n')
            self.assertEqual(gen.main(['--table', t, '--manifest', m, '--out', d]), 0)
            write(m, MANIFEST + 'more.tbl: global functions 3\n')
            with self.assertRaises(gen.TableError) as cm:
                lines, gen.ORIGINS[:] = gen.expand_imports(t)
                gen.generate(lines, open(m).read().splitlines(), 'tLua', 1)
            self.assertIn("more.tbl: group 'global functions': the table has 2, the manifest says 3", str(cm.exception))
            write(os.path.join(d, 'tables', 'more.tbl'), 'func int Count(tcNothing* p)\n')
            with self.assertRaises(gen.TableError) as cm:
                lines, gen.ORIGINS[:] = gen.expand_imports(t)
                gen.generate(lines, None, 'tLua', 1)
            self.assertIn('more.tbl:1:', str(cm.exception))
            gen.ORIGINS[:] = []


if __name__ == '__main__':
    unittest.main()
