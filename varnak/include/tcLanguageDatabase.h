#pragma once

#include <wx/string.h>

#include <memory>
#include <vector>

// One record of the language subtag registry: its subtag (for grandfathered records the whole
// tag), its first description and the date it was deprecated (empty when it was not).
class tcLanguageSubtag
{
public:
    wxString m_sKey;
    wxString m_sDescription;
    wxString m_sDeprecated;

    // Deprecated records are kept for reading old data but not offered for new choices.
    bool IsOffered() const { return m_sDeprecated.empty(); }
};

// A variant and the tags it may follow ("de" for "1996", "sl-rozaj" for "biske"); no prefix means
// it may follow any tag.
class tcLanguageVariant : public tcLanguageSubtag
{
public:
    std::vector<wxString> m_asPrefixes;
};

// A language with the script it implies (empty when none: such a language always names its
// script) and the variants that may follow it directly: those with a prefix made of this
// language and at most a script and a region ("zh-Latn" for "pinyin", not "sl-rozaj" for
// "biske"), in variant order. The variants are owned by the database.
class tcLanguageRecord : public tcLanguageSubtag
{
public:
    wxString m_sImpliedScript;
    std::vector<const tcLanguageVariant*> m_paVariants;
};

// The language-tag database, read from a file in the style of the IANA language subtag registry:
// records separated by "%%" lines, "Field: value" lines, continuation lines starting with a blank.
// The fields read are Type (language, script, region, variant, grandfathered; other types are
// skipped), Subtag, Tag, Description (the first one), Suppress-Script, Prefix and Deprecated;
// other fields, subtag ranges ("qaa..qtz") and records without a key are skipped.
//
// Every list is sorted by key without regard to ASCII case; records with equal keys keep their
// file order. The lists are public for reading; they do not change after Load, so any thread may
// read them while nobody loads. Entries stay valid until the next Load or the destruction.
class tcLanguageDatabase
{
public:
    tcLanguageDatabase();
    ~tcLanguageDatabase();

    tcLanguageDatabase(const tcLanguageDatabase&) = delete;
    tcLanguageDatabase& operator=(const tcLanguageDatabase&) = delete;

    // Replaces the content with the registry at sPath. False, with the content unchanged, when
    // the file cannot be read or holds no language record.
    bool Load(const wxString& sPath);

    // Composes a tag from its parts: the language in lower case, the script in title case unless
    // it is the language's implied script, the region in upper case, the variant in lower case,
    // joined by "-" with empty parts left out. Parts are trimmed of blanks. Empty when the
    // language is empty. A language that is a grandfathered tag comes back as the registry writes
    // it, without the other parts, since nothing may be appended to such a tag.
    wxString GetLanguageCode(const wxString& sLanguage, const wxString& sScript, const wxString& sRegion,
                             const wxString& sVariant) const;

    // Case-insensitive look-ups; the first record with this key, or null.
    const tcLanguageRecord* FindLanguage(const wxString& sKey) const;
    const tcLanguageSubtag* FindScript(const wxString& sKey) const;
    const tcLanguageSubtag* FindRegion(const wxString& sKey) const;
    const tcLanguageVariant* FindVariant(const wxString& sKey) const;
    const tcLanguageSubtag* FindGrandFather(const wxString& sKey) const;

    std::vector<std::unique_ptr<tcLanguageRecord>> m_paLanguageList;
    std::vector<std::unique_ptr<tcLanguageSubtag>> m_paScriptList;
    std::vector<std::unique_ptr<tcLanguageSubtag>> m_paRegionList;
    std::vector<std::unique_ptr<tcLanguageSubtag>> m_paGrandFatherList;
    // Every variant, whichever languages it belongs to.
    std::vector<std::unique_ptr<tcLanguageVariant>> m_paVariantList;
};

// Loads the program's database from sPath. Returns false when it cannot be read; a database
// loaded before stays in place then. Main thread, at start-up.
bool tInitLanguageDatabase(const wxString& sPath);
// Frees the program's database; tGetLanguageDatabase returns null afterwards.
void tDoneLanguageDatabase();
// The program's database; null before a successful tInitLanguageDatabase and after
// tDoneLanguageDatabase. Not owned by the caller.
tcLanguageDatabase* tGetLanguageDatabase();
