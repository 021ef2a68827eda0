## -*- texinfo -*-
## @deftypefn {} {} wavetide
## Wavetide: fast wavelet, trigonometric, cosine-packet and pyramid
## transforms.  Each transform is a MEX plug-in called with one output;
## @code{help @var{name}} shows its formula, layout and an example,
## @code{demo @var{name}} draws one where there is a picture to show.
## Calling @code{wavetide} prints this overview.
##
## @strong{Periodic orthogonal wavelet transforms} (signal length
## @math{n = 2^J}; filters from @code{orthofilter})
## @table @code
## @item Jostrane
## forward transform of a signal or of each column: coarse block, then
## details of levels L to J-1
## @item Unjostrane
## its inverse
## @item Plattigan
## forward transform of an n x n array, nested quadrants
## @item Unplattigan
## its inverse
## @item Tessaroy
## synthesis of a wavelet-packet table n x (D+1)
## @item Wendlock
## translation-invariant analysis: the n x (D+1) table of all shift paths
## @item Unwendlock
## translation-invariant synthesis, averaging both branches
## @end table
##
## @strong{Biorthogonal wavelet transforms} (centred filters from
## @code{biorthofilter})
## @table @code
## @item Morrowel
## forward transform with a primary and a dual lowpass filter
## @item Unmorrowel
## its inverse with the same two filters
## @end table
##
## @strong{Fast trigonometric transforms} (orthonormal, length @math{2^J})
## @table @code
## @item Fennick
## DCT-II
## @item Gorsely
## DCT-III, the inverse of Fennick
## @item Pimbrel
## DST-II
## @item Yarlow
## DST-III, the inverse of Pimbrel
## @end table
##
## @strong{Cosine packets}
## @table @code
## @item Orrimac
## smooth local cosine expansions at levels 0 to D, an n x (D+1) table
## @item Unorrimac
## synthesis: the signal a cosine-packet table represents
## @end table
##
## @strong{Median- and average-interpolating pyramids} (signal length
## @math{n = 3^J})
## @table @code
## @item Brontal
## median-interpolating pyramid, a 1 x 2n row
## @item Unbrontal
## its inverse
## @item Olmister
## one step of median-interpolation refinement, n to 3n
## @item Drassock
## average-interpolating pyramid, a 1 x 2n row
## @item Undrassock
## its inverse
## @item Ephrandel
## one step of quadratic point-interpolation refinement, n to 3n
## @end table
##
## @strong{Packet tables and best bases}
## @table @code
## @item packettable
## periodic wavelet-packet analysis: the n x (D+1) table Tessaroy reads
## @item packetbasis
## best basis of a packet or cosine-packet table (Shannon, log energy,
## l^p, threshold count)
## @end table
##
## @strong{Denoising}
## @table @code
## @item noiselevel
## noise level from the finest details (median absolute deviation)
## @item shrinkdetails
## soft or hard thresholding of the details of levels L to J-1
## @item noisegain
## each level's noise gain of Morrowel's details, from the two filters:
## noiselevel and shrinkdetails read Morrowel's layout with it
## @item denoise
## the whole chain: universal or SURE threshold, soft or hard,
## plain or translation-invariant, 1-D or 2-D, signals of any length
## @end table
##
## @strong{Signals of any length}
## @table @code
## @item extendsignal
## extension to the next 2^J, 3^J or a given length (symmetric, periodic,
## zero, constant), with the indices that crop the result back
## @end table
##
## @strong{Filter banks}
## @table @code
## @item orthofilter
## orthonormal lowpass filters: Haar, Daubechies, symmlets, coiflets; also
## by the short names db1 to db10, sym4 to sym10, coif1 to coif5
## @item biorthofilter
## symmetric biorthogonal pairs: CDF 5/3 and 9/7 (also bior2.2, bior4.4)
## @end table
##
## @code{build_plugins} compiles the plug-ins with the host's own
## @code{mex} (MATLAB or Octave) from the source tree.
## @seealso{Jostrane, Fennick, Orrimac, Brontal, packettable, denoise, orthofilter}
## @end deftypefn

function wavetide ()
  help ("wavetide");
endfunction
