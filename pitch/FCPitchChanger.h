// FCPitchChanger: the visitor the region walk calls for each note entry: every note whose
// spelling matches a replacement's from text gets the replacement's to text, at the octave its
// direction chooses (the rules' RowMatcher, TargetSpelling and OctaveChoice, on the host's
// numbers). Each note changes at most once per run: the first matching replacement, in list
// order, wins.
#pragma once

#include "framework/FCIteratorHandler.h"
#include "pitch/FCPitchChangeNodes.h"
#include "rules/RowMatcher.h"

class FCNote;
class FCKeySignature;

class FCPitchChanger : public FCIteratorHandler {
  public:
    // The nodes are not owned. soundingPitch false compares and writes written pitch.
    FCPitchChanger(const FCPitchChangeNodes* nodes, bool soundingPitch);

    // Iterate rewrites the matching notes of one entry; it always answers true.
    bool Iterate(__FCBase* item) override;

    // HasChanged: at least one note was rewritten in this run.
    bool HasChanged() const { return changed_; }

  private:
    // ChangeNote rewrites one matched note and places it by the node's direction.
    void ChangeNote(FCNote* note, FCKeySignature* key, const FCPitchChangeNode* node,
                    const FCString& spelling);

    const FCPitchChangeNodes* nodes_;
    bool soundingPitch_;
    rules::RowMatcher matcher_;  // the nodes' from texts, in list order
    bool changed_ = false;
};
