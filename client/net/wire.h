#pragma once
// Wire primitives of the game protocol (filled in by the protocol work).
