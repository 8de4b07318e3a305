% net = load_karate (folder)
%   Reads Zachary's karate club from FOLDER: net.G is the 34-by-34 sparse 0/1 friendship
%   matrix, net.faction the faction (1 or 2) each member joined, net.n the number of members,
%   net.order the members sorted by faction, the instructor's (1) first, and net.split the
%   number of members in the instructor's faction.
function net = load_karate (folder)
  edges = load (fullfile (folder, 'karate_club_edges.txt'));
  factions = load (fullfile (folder, 'karate_club_factions.txt'));
  net.n = max (edges(:));
  G = sparse (edges(:,1), edges(:,2), 1, net.n, net.n);
  net.G = G + G';
  net.faction = factions(:,2);
  net.order = [find(net.faction == 1); find(net.faction == 2)];
  net.split = sum (net.faction == 1);
end
