#pragma once

// The library's enumerations. Their values are stored in files and published to scripts; they must
// not change. Property value types (tTYPE_*) live in tcProperties.h.

// A node's identifier within its document (0 means none).
typedef int tID;
const tID idNULL = 0;

enum teOrderItemType
{
    ORDER_ELEMENT = 0,
    ORDER_ATTRIBUTE = 1,
    ORDER_PCDATA = 2,
};

enum teStyleType
{
    STYLE_ELEMENT = 0,
    STYLE_ATTRIBUTE = 1,
};

// Tri-state style switches (bold, italics, ...): STYLE_INHERIT takes the enclosing setting.
enum teStyleState
{
    STYLE_INHERIT = -1,
    STYLE_OFF = 0,
    STYLE_ON = 1,
    STYLE_INVERT = 2,
};

enum teBorderStyle
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

enum teUnit
{
    tUNIT_PT = 0,
    tUNIT_CM = 1,
    tUNIT_PERCENT = 2,
    tUNIT_PIXELS = 3,
};

enum teAlignment
{
    ALIGN_LEFT = 0,
    ALIGN_CENTER = 1,
    ALIGN_RIGHT = 2,
    ALIGN_JUSTIFY = 3,
};

enum teAutoNumberStyle
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
enum teNodeClass
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

enum teDiffType
{
    DIFF_ONLYLEFT = 0,
    DIFF_ONLYRIGHT = 1,
    DIFF_ATTRIBUTE = 2,
    DIFF_UNDEFINED = 3,
};

enum teParseError
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

enum teSpecialType
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
enum teLanguageFlag
{
    LANG_GASASE_DEPRECATED = 1,
    LANG_NOUNCLASSES = 2,
    LANG_RTL = 4,
};

// How an attribute's value is meant. Every type is stored as text (see tcNode).
enum teAttrType
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
enum teDefaultType
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
enum teChildRelationConstraint
{
    CHILD_ONE = 0,
    CHILD_ZEROORMORE = 1,
    CHILD_ONEORMORE = 2,
    CHILD_ZEROORONE = 3,
    CHILD_MAXIMUM = 4,
};

const int CHILDFLAG_READONLY = 1;

// Element kind flags (tcElement::GetFlags).
enum teElementFlag
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
enum teAttrFlag
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

enum teClipType
{
    CLIP_CUT = 0,
    CLIP_COPY = 1,
};

// What an IO handler type can do (tcIORegistry::GetIOFlags).
enum teIOFlag
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
