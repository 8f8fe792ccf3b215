#pragma once

// The library's enumerations. Their values are stored in files and published to scripts; they must
// not change. Property value types (tTYPE_*) live in tcProperties.h. Each has int as its fixed
// underlying type, so that any int a script or a file gives is a value of the type (routines answer
// values they do not know neutrally) rather than undefined behaviour.

// A node's identifier within its document (0 means none).
typedef int tID;
const tID idNULL = 0;

enum teOrderItemType : int
{
    ORDER_ELEMENT = 0,
    ORDER_ATTRIBUTE = 1,
    ORDER_PCDATA = 2,
};

enum teStyleType : int
{
    STYLE_ELEMENT = 0,
    STYLE_ATTRIBUTE = 1,
};

// Tri-state style switches (bold, italics, ...): STYLE_INHERIT takes the enclosing setting.
enum teStyleState : int
{
    STYLE_INHERIT = -1,
    STYLE_OFF = 0,
    STYLE_ON = 1,
    STYLE_INVERT = 2,
};

enum teBorderStyle : int
{
    BORDER_NONE = 0,
    BORDER_HIDDEN = 1,
    BORDER_DOTTED = 2,
    BORDER_DASHED = 3,
    BORDER_SOLID = 4,
    BORDER_DOUBLE = 5,
    BORDER_GROOVE = 6,
    BORDER_RIDGE = 7,
    BORDER_INSET = 8,
    BORDER_OUTSET = 9,
};

enum teUnit : int
{
    tUNIT_PT = 0,
    tUNIT_CM = 1,
    tUNIT_PERCENT = 2,
    tUNIT_PIXELS = 3,
};

enum teAlignment : int
{
    ALIGN_LEFT = 0,
    ALIGN_CENTER = 1,
    ALIGN_RIGHT = 2,
    ALIGN_JUSTIFY = 3,
};

enum teAutoNumberStyle : int
{
    AUTONUMBER_HIDE = 0,
    AUTONUMBER_NUMBERS = 1,
    AUTONUMBER_ALPHABETL = 2,
    AUTONUMBER_ALPHABETU = 3,
    AUTONUMBER_ROMANL = 4,
    AUTONUMBER_ROMANU = 5,
    AUTONUMBER_CIRCLEDDIGIT = 6,
    AUTONUMBER_PARENTHESIZEDDIGIT = 7,
    AUTONUMBER_DIGITFULLSTOP = 8,
    AUTONUMBER_PARENTHESIZEDLATIN = 9,
    AUTONUMBER_CIRCLEDLATINL = 10,
    AUTONUMBER_CIRCLEDLATINU = 11,
    AUTONUMBER_DOUBLECIRCLEDDIGIT = 12,
    AUTONUMBER_NEGCIRCLEDDIGIT = 13,
    AUTONUMBER_CIRCLEDSANSSERIFDIGIT = 14,
    AUTONUMBER_NEGCIRCLEDSANSSERIFDIGIT = 15,
    AUTONUMBER_GREEKALPHABETL = 16,
    AUTONUMBER_MAX = 17,
};

// The class of a node (tcNode::GetClassType) and of an element kind (tcElement::GetClass).
enum teNodeClass : int
{
    NODE_NODE = 0,
    NODE_DICTIONARY = 1,
    NODE_SECTION = 2,
    NODE_ENTRY = 4,
    NODE_SENSE = 5,
    NODE_REFERENCES = 6,
    NODE_SUBENTRY = 7,
    NODE_TE = 8,
    NODE_EXAMPLE = 9,
    NODE_DEFINITION = 10,
    NODE_GASASE = 12,
    NODE_TEXTNODE = 13,
    NODE_ERROR = 14,
    NODE_CDATA = 15,
};

enum teDiffType : int
{
    DIFF_ONLYLEFT = 0,
    DIFF_ONLYRIGHT = 1,
    DIFF_ATTRIBUTE = 2,
    DIFF_UNDEFINED = 3,
};

enum teParseError : int
{
    PARSEERROR_UNKNOWN = 0,
    PARSEERROR_INVALIDTAGNAME = 1,
    PARSEERROR_MISSINGATTRIBUTENAMEANDEQUALS = 2,
    PARSEERROR_MISSINGATTRIBUTENAME = 3,
    PARSEERROR_MISSINGEQUALS = 4,
    PARSEERROR_MISSINGATTRIBUTEVALUE = 5,
    PARSEERROR_MISSINGQUOTATIONBEFOREATTRIBUTEVALUE = 6,
    PARSEERROR_MISSINGQUOTATIONAFTERATTRIBUTEVALUE = 7,
    PARSEERROR_QUOTATIONWITHINATTRIBUTEVALUE = 8,
    PARSEERROR_ATTRIBUTEREPEATED = 9,
    PARSEERROR_INVALIDID = 10,
    PARSEERROR_INVALIDREFERENCE = 11,
    PARSEERROR_UNKNOWNATTRIBUTE = 12,
    PARSEERROR_INVALIDATTRIBUTEVALUE = 13,
    PARSEERROR_INVALIDENDTAG = 14,
    PARSEERROR_UNESCAPEDLT = 15,
    PARSEERROR_UNSECAPEDGT = 16, // the published spelling
    PARSEERROR_UNESCAPEDGTSLASH = 17,
    PARSEERROR_MISSINGTAGNAME = 18,
    PARSEERROR_UNMATCHEDENDTAG = 19,
    PARSEERROR_UNMATCHEDTAG = 20,
    PARSEERROR_INVALIDFIXEDATTRIBUTEVALUE = 21,
    PARSEERROR_UNESCAPEDLTSLASH = 22,
};

enum teSpecialType : int
{
    SPECIAL_UNDEFINED = -1,
    SPECIAL_TE = 0,
    SPECIAL_FREQ = 1,
    SPECIAL_SENSE = 2,
    SPECIAL_OUTPUTLEMMASIGN = 3,
    SPECIAL_NOTES = 4,
    SPECIAL_REFTARGET = 5,
    SPECIAL_REFDISPLAY = 6,
    SPECIAL_TERM_LANGUAGE = 100,
    SPECIAL_TERM_TERM = 101,
    SPECIAL_LEX_LEMMASIGN = 200,
};

// Section option bits.
enum teLanguageFlag : int
{
    LANG_GASASE_DEPRECATED = 1,
    LANG_NOUNCLASSES = 2,
    LANG_RTL = 4,
};

// How an attribute's value is meant. Every type is stored as text (see tcNode).
enum teAttrType : int
{
    ATTR_CDATA = 0,
    ATTR_NDATA = 1,
    ATTR_LIST = 2,
    ATTR_LISTN = 3,
    ATTR_LISTNS = 4,
    ATTR_LUASCRIPT = 5,
    ATTR_MAX = 6,
};

// An attribute's default kind.
enum teDefaultType : int
{
    ATTRDEF_VALUE = 0,
    ATTRDEF_REQUIRED = 1,
    ATTRDEF_IMPLIED = 2,
    ATTRDEF_FIXED = 3,
    ATTRDEF_AUTONUMBER = 4,
    ATTRDEF_SOUNDFILE = 5,
    ATTRDEF_IMAGEFILE = 6,
    ATTRDEF_VIDEOFILE = 7,
    ATTRDEF_USERCREATED = 8,
    ATTRDEF_USERCHANGED = 9,
    ATTRDEF_DATECREATED = 10,
    ATTRDEF_DATECHANGED = 11,
    ATTRDEF_HYPERLINK = 12,
    ATTRDEF_MAX = 13,
};

// How many children of a kind an element holds.
enum teChildRelationConstraint : int
{
    CHILD_ONE = 0,
    CHILD_ZEROORMORE = 1,
    CHILD_ONEORMORE = 2,
    CHILD_ZEROORONE = 3,
    CHILD_MAXIMUM = 4,
};

const int CHILDFLAG_READONLY = 1;

// Element kind flags (tcElement::GetFlags).
enum teElementFlag : int
{
    ELEMENTFLAG_NOCHILD = 1,
    ELEMENTFLAG_NODELETE = 2,
    ELEMENTFLAG_LOCKCHILDREN = 4,
    ELEMENTFLAG_LOCKATTRIBUTES = 8,
    ELEMENTFLAG_PCDATA = 16, // the kind may hold text
    ELEMENTFLAG_DIRECTION_LO = 32,
    ELEMENTFLAG_DIRECTION_HI = 64,
    ELEMENTFLAG_DIRECTION_BITS = 96,
    ELEMENTFLAG_DIRECTION_RTL = 32,
    ELEMENTFLAG_DIRECTION_LTR = 64,
};

// Attribute kind flags (tcAttribute::GetFlags).
enum teAttrFlag : int
{
    ATTRFLAG_FIXED = 1,
    ATTRFLAG_READONLY = 2,
    ATTRFLAG_NOF1 = 4,
    ATTRFLAG_NOCOMPARE = 8,
    ATTRFLAG_NOCLONE = 16,
    ATTRFLAG_EXPANDTILDE_DEPRECATED = 32,
    ATTRFLAG_NEVERNULL_DEPRECATED = 64,
    ATTRFLAG_NOOUTPUT = 128,
    ATTRFLAG_RTL = 256,
};

enum teClipType : int
{
    CLIP_CUT = 0,
    CLIP_COPY = 1,
};

// What an IO handler type can do (tcIORegistry::GetIOFlags).
enum teIOFlag : int
{
    IOFLAG_SAVE = 1,
    IOFLAG_SAVEACOPY = 2,
    IOFLAG_SAVEAS = 4,
    IOFLAG_EXPORT = 8,
    IOFLAG_OPEN = 16,
    IOFLAG_IMPORT = 32,
    IOFLAG_CANMERGE = 64,
    IOFLAG_MERGEONLY = 128,
    IOFLAG_NETWORK = 256,
    IOFLAG_FORMATTED = 512,
};

// Element identifiers the library reserves for its fixed kinds; new kinds are numbered above.
const int ELEMENTID_DICTIONARY = 1;
const int ELEMENTID_SECTION = 2;
const int ELEMENTID_ENTRY = 4;
const int ELEMENTID_SENSE = 5;
const int ELEMENTID_REFERENCES = 6;
const int ELEMENTID_LASTRESERVED = 10;
// Attribute identifiers up to this one are kept for the library's fixed attributes (lemma sign 1,
// pronunciation 2, etymology 5, homonym number 6, ...); new attributes are numbered above.
const int ATTRID_LASTRESERVED = 15;

// The operating system families the library tells apart (scripts read them; only OS_LINUX is
// ever reported here).
enum teOSVersion : int
{
    OS_WINDOWS_NT = 0,
    OS_WINDOWS_2000 = 1,
    OS_WINDOWS_XP = 2,
    OS_WINDOWS_XP_2 = 3,
    OS_WINDOWS_XP_3 = 4,
    OS_WINDOWS_VISTA = 5,
    OS_WINDOWS_2003 = 6,
    OS_WINDOWS_2008 = 7,
    OS_WINDOWS_2008_R2 = 8,
    OS_WINDOWS_95 = 9,
    OS_WINDOWS_95C = 10,
    OS_WINDOWS_98 = 11,
    OS_WINDOWS_98SE = 12,
    OS_WINDOWS_ME = 13,
    OS_WINDOWS_WIN32 = 14,
    OS_WINDOWS_7 = 15,
    OS_WINDOWS_8 = 16,
    OS_WINDOWS_2012 = 17,
    OS_WINDOWS_10 = 18,
    OS_WINDOWS_NT_BASED = 19,
    OS_LINUX = 20,
    OS_APPLE_MACOSX = 21,
};

// Ready-made search conditions offered by search fields.
enum teSearchShortcut : int
{
    tSEARCH_SHORTCUT_TODAY = 0,
    tSEARCH_SHORTCUT_YESTERDAY = 1,
    tSEARCH_SHORTCUT_LAST_2_DAYS = 2,
    tSEARCH_SHORTCUT_LAST_3_DAYS = 3,
    tSEARCH_SHORTCUT_LAST_7_DAYS = 4,
    tSEARCH_SHORTCUT_LAST_10_DAYS = 5,
    tSEARCH_SHORTCUT_LAST_14_DAYS = 6,
    tSEARCH_SHORTCUT_LAST_30_DAYS = 7,
    tSEARCH_SHORTCUT_THIS_MONTH_SO_FAR = 8,
    tSEARCH_SHORTCUT_LAST_MONTHS_2 = 9,
    tSEARCH_SHORTCUT_LAST_MONTHS_3 = 10,
    tSEARCH_SHORTCUT_LAST_MONTH = 11,
    tSEARCH_SHORTCUT_EMPTY_FIELD = 12,
    tSEARCH_SHORTCUT_NON_EMPTY_FIELD = 13,
    tSEARCH_SHORTCUT_WORDS_MULTI = 14,
    tSEARCH_SHORTCUT_WORDS_1 = 15,
    tSEARCH_SHORTCUT_WORDS_2 = 16,
    tSEARCH_SHORTCUT_WORDS_3 = 17,
    tSEARCH_SHORTCUT_WORDS_4 = 18,
    tSEARCH_SHORTCUT_WORDS_5 = 19,
    tSEARCH_SHORTCUT_WORDS_2_OR_MORE = 20,
    tSEARCH_SHORTCUT_WORDS_3_OR_MORE = 21,
    tSEARCH_SHORTCUT_STARTS_A = 22,
    tSEARCH_SHORTCUT_STARTS_UPPERCASE = 23,
    tSEARCH_SHORTCUT_STARTS_LOWERCASE = 24,
    tSEARCH_SHORTCUT_ENDS_FULLSTOP = 25,
    tSEARCH_SHORTCUT_ENDS_NOT_FULLSTOP = 26,
    tSEARCH_SHORTCUT_CLEAR_SETTINGS = 27,
    tSEARCH_SHORTCUT_CLEAR_MAX = 28,
};
