#pragma once
// The vault list's column header, drawn by the page's own colours.
