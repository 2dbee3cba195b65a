// Undo ring of the data sets.
#ifndef DOTWERK_CORE_UNDO_H
#define DOTWERK_CORE_UNDO_H

namespace dw {

struct EditorState;

// The ring's slots are allocated with the state (both sets, five each) and
// freed with it.
void AllocateUndoSlots(EditorState* st);
void FreeUndoSlots(EditorState* st);

// Stand-ins until the ring itself is built: a snapshot only marks the set
// changed; undo and redo beep.
void PushUndo();
void UndoEdit();
void RedoEdit();

}  // namespace dw

#endif
