// NoSelectionAlert: how a pitch change run tells the user that the document has no selected
// region. The pitch layer knows nothing more of the user interface: the dialog's alert object
// (FCUI) answers it, and a test may answer it with a recorder of its own.
#pragma once

class NoSelectionAlert {
  public:
    virtual void AlertNoSelection() = 0;

  protected:
    NoSelectionAlert() = default;
    NoSelectionAlert(const NoSelectionAlert&) = default;
    NoSelectionAlert& operator=(const NoSelectionAlert&) = default;
    // Never deleted through this interface.
    ~NoSelectionAlert() = default;
};
