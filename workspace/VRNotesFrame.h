#pragma once

#include <wx/panel.h>

class tcDocument;
class tcElement;
class tcNode;
class wxBitmapButton;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
class wxTextCtrl;

// A notes page of a project page: shows the `note` children of one node (a file's `header`, or the
// current segment's `mrk` or `source`) one at a time, with a note-number spin, previous and next
// buttons that wrap around and a button that adds a note. Notes are plain text: what is typed is
// stored as the note's text, which the writers escape. Typing and the new-note button mark the
// document changed; showing, browsing and rebinding never do. Without a node the page is read-only
// and creates nothing. Main thread only.
class VRNotesPage : public wxPanel
{
public:
    enum
    {
        ID_NEXT = 0,
        ID_PREVIOUS = 1,
        ID_NEW = 2,
        ID_SPIN = 3,
        ID_TEXT = 4,
    };

    // pNoteElement (the project's `note` kind) and pDoc (the project) must outlive the page; pNode
    // may be null. The node must belong to pDoc and stay alive while it is bound: rebind (SetNode)
    // before it is deleted.
    VRNotesPage(wxWindow* pParent, tcElement* pNoteElement, tcDocument* pDoc, tcNode* pNode);

    // Binds the page to pNode (may be null) and shows its first note.
    void SetNode(tcNode* pNode);
    tcNode* GetNode() const { return m_pNode; }
    // Counts the node's notes again and shows the first one.
    void ReloadNotes();
    // Shows the current note's text (empty when the node has no note at that index).
    void ShowCurrentNote();
    // Adds an empty note at the end of the node's notes and makes it current. Needs a node.
    void AddNote();

    int GetCurrentNote() const { return m_nCurrentNote; }
    int GetNumNotes() const { return m_nNotes; }

    // The text of a note as the page shows it: the text and CDATA below it, in document order.
    static wxString GetNoteText(const tcNode* pNote);

private:
    // The node's note at nIndex, or null.
    tcNode* GetNote(int nIndex) const;
    // Spin range and value, count label and the state of the controls, from the note count.
    void UpdateControls();
    void MoveTo(int nNote);

    void OnNextNote(wxCommandEvent& event);
    void OnPreviousNote(wxCommandEvent& event);
    void OnNewNote(wxCommandEvent& event);
    void OnNoteSpin(wxSpinEvent& event);
    void OnNoteText(wxCommandEvent& event);

    int m_nCurrentNote = 0;
    int m_nNotes = 0;
    // Set while the page is built or reloads: navigation and text events are not the user's.
    bool m_bLoading = true;
    tcNode* m_pNode = nullptr;
    wxTextCtrl* m_pText = nullptr;
    wxStaticText* m_pCountLabel = nullptr;
    wxSpinCtrl* m_pSpin = nullptr;
    wxBitmapButton* m_pNew = nullptr;
    wxBitmapButton* m_pPrevious = nullptr;
    wxBitmapButton* m_pNext = nullptr;
    tcElement* m_pNoteElement = nullptr;
    tcDocument* m_pDoc = nullptr;

    wxDECLARE_EVENT_TABLE();
};
