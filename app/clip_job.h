#pragma once
// The clip job: the run button's checks, the batch loop over the clip list, one
// file's load-crop-write, the output name, the preview load and cancel. It is
// portable; whoever shows the job (the main window, the command-line clipper,
// tests) supplies a TClipJobHost for the pump, the dialogs, the list and the
// captions.
//
// Re-entry. The loop pumps pending messages three times per file, so any handler
// may run in the middle of a run. The job keeps itself safe against that:
//  - a second run never starts inside the first: ButtonRunClick does nothing
//    while Running();
//  - after every pump the loop checks its index against the list's current
//    count; after a file it finds the entry again by its text (entries are
//    unique), at its index or, when entries were added or deleted before it,
//    where it went, writes the result there and goes on after it. An entry
//    deleted during a run is never touched again, and no result lands on
//    another entry;
//  - the run's own selection changes (clearing every selection at the start,
//    marking and unmarking each entry) must not reload the preview: Running() is
//    true from before the first of them to after the last, and the window's
//    list-change handler skips its preview load while it is true.
#include <string>

#include "framework/bitmap.h"
#include "framework/byte_buffer.h"
#include "image/kx_rect.h"
#include "image/path_rules.h"

class kxvImage;

// Answer of the confirmation dialog (question icon, buttons Yes, No, Cancel).
enum class TConfirmAnswer { Yes, No, Cancel };

// What the job needs from the window that shows it. Entries are addressed by
// their current index in the clip list; an index is only used below Count.
class TClipJobHost {
public:
    virtual ~TClipJobHost() = default;

    // Handles every pending window message, then returns.
    virtual void ProcessMessages() = 0;
    // Modal dialogs: the error kind (error icon, OK) and the confirmation kind.
    virtual void ShowError(const std::string& message) = 0;
    virtual TConfirmAnswer Confirm(const std::string& message) = 0;

    // The clip list.
    virtual int EntryCount() = 0;
    virtual std::string EntryText(int index) = 0;
    virtual void FocusList() = 0;
    virtual void SetEntryFocused(int index, bool focused) = 0;
    virtual void SetEntrySelected(int index, bool selected) = 0;
    // Removes the entry's sub-items: its result column becomes empty.
    virtual void ClearEntryResult(int index) = 0;
    // Adds the one sub-item that holds the result ("OK" or "NG").
    virtual void SetEntryResult(int index, const std::string& result) = 0;
    // Scrolls so that the entry is at least partly visible.
    virtual void MakeEntryVisible(int index) = 0;
    // Repaints the list at once.
    virtual void RepaintList() = 0;
    virtual void ClearAllSelections() = 0;

    // Status bar panel 1.
    virtual void SetStatusText(const std::string& text) = 0;
    // The group box caption above the picture information (the file's path) and
    // the information button's caption ("Invalid", or width x height x depth).
    virtual void SetImageInfoPath(const std::string& path) = 0;
    virtual void SetImageInfoText(const std::string& text) = 0;
    // The output directory as typed; read each time it is needed.
    virtual std::string OutputDirectory() = 0;
    virtual void CloseWindow() = 0;

    // Why ClipFile failed, just before it returns false: "Invalid" (no reader
    // took the file), "Save Error!", "Canceled", or the message of an error
    // raised while cropping or naming. The window shows nothing here (the
    // system's own messages go through ShowError); the command-line clipper
    // prints it.
    virtual void ClipFailed(const std::string& /*reason*/) {}
};

class TClipJob {
public:
    TClipJob(TClipJobHost& host, kxvImage& image);
    TClipJob(const TClipJob&) = delete;
    TClipJob& operator=(const TClipJob&) = delete;

    // The clip rectangle in picture pixels, right and bottom outside it. The
    // window's edits start it at 0, 0, 639, 479.
    kxRect ClipRect{0, 0, 640, 480};
    // ClipFile loads only the rectangle's part of each picture where the reader
    // can (the command-line clipper); the window loads whole pictures, which it
    // shows.
    bool LoadRegionsOnly = false;

    bool Running() const { return running_; }
    bool CancelRequested() const { return cancelRequested_; }

    // The run button: checks the job in order and runs it, or shows why not.
    // Does nothing while a run is in progress.
    void ButtonRunClick();
    // The run button's checks alone, in order: the rectangle, a non-empty list,
    // the output directory (made after confirmation when missing). False, after
    // showing why, when the run may not start.
    bool CheckRun();
    // The batch loop over the whole list.
    void RunClip();
    // Loads, crops and writes one file; true when the output file was written.
    bool ClipFile(const std::string& path);
    // Loads a file into the image and sets the two captions; true when the image
    // took the file.
    bool LoadPreview(const std::string& path);
    // The cancel button and Esc: asks a run to stop, or closes the window.
    void ButtonCancelClick();
    // The window's key press: character 27 acts as the cancel button.
    void FormKeyPress(char key);

    // The output file of a source for an output directory: directory, separator,
    // the source's file name (or, for an empty directory, the source itself),
    // with its extension replaced by ".bmp". The directory is used as typed, so
    // a trailing separator doubles. The rules are the platform's path rules;
    // tests pass the other platform's.
    static std::string OutputName(const std::string& source, const std::string& directory,
                                  const TPathRules& rules = PlatformPathRules);

private:
    // The index of the entry with this text, looked for at expectedIndex first;
    // -1 when it is no longer in the list.
    int FindEntry(const std::string& path, int expectedIndex);
    // LoadPreview, or with LoadRegionsOnly the rectangle's part of the picture
    // (the information caption then says nothing of its size).
    bool LoadForClip(const std::string& path);
    // Writes the clip rectangle of the loaded picture; true when written.
    bool SaveCrop(const std::string& outputName);

    TClipJobHost& host_;
    kxvImage& image_;
    TBitmap crop_;
    TByteBuffer writeBuffer_;  // kept from file to file, as the crop is
    bool running_ = false;
    bool cancelRequested_ = false;
};
